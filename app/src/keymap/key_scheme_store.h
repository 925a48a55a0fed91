#pragma once
// Key schemes in the user's settings store (organisation "keySettings",
// application "key"): one value per scheme, keyed by its index in decimal,
// holding the scheme's JSON text.
#include <QList>
#include <QSettings>
#include <QStringList>

#include <memory>

#include "keymap/key_scheme_data.h"

namespace app {

class KeySchemeStore {
public:
    KeySchemeStore();

    bool Contains(int index) const;
    // The scheme under index; an empty scheme when there is none or it is unreadable.
    KeySetData Read(int index) const;
    void Write(int index, const KeySetData& scheme);
    // Every stored scheme, in the numeric order of the keys ("2" before "10").
    QList<KeySetData> All() const;
    void Rename(int index, const QString& name);
    // Drops the scheme at position (in the order of All) and stores the rest
    // again under "0", "1", ... with matching indexes.
    void Remove(int position);

    // The scheme keys in numeric order (keys that are not numbers are not schemes).
    QStringList SchemeKeys() const;

private:
    std::unique_ptr<QSettings> m_settings;
};

}  // namespace app
