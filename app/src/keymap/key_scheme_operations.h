#pragma once
// The scheme list operations the editor offers its scheme list popup.
#include <QList>
#include <QString>

#include <functional>

#include "keymap/key_scheme_data.h"

namespace app {

struct KeySchemeOperations {
    std::function<QList<KeySetData>()> getAll;
    std::function<void(int index)> select;
    std::function<void(int index, const QString& name)> rename;
    std::function<void(int position)> remove;
    std::function<int()> currentIndex;
};

}  // namespace app
