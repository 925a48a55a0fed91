#pragma once
// Collects the Qt log lines written while it lives (and passes them on).
#include <QStringList>
#include <QtGlobal>

namespace apptest {

class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    bool Contains(const QString& text) const;
    const QStringList& Lines() const;
};

}  // namespace apptest
