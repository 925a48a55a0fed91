#pragma once
// Registry-style values. The current user's Run key maps to XDG autostart
// entries; any other key "...\\<application>" maps to per-value files under
// the XDG config directories.
#include <QString>

namespace app {

class RegeditUtils {
public:
    static const char* RunKey();  // "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"

    // The stored data, or empty text when the value does not exist.
    static QString query(const QString& key, const QString& valueName);
    // Returns 0 on success, -1 on failure (a failure line is logged).
    static int add(const QString& key, const QString& valueName, const QString& data);
    static void remove(const QString& key, const QString& valueName);
};

}  // namespace app
