#include "platform/auto_start.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "platform/xdg_paths.h"

namespace platform {

std::string AutoStartEntryPath(const std::string& appId) {
    const std::string home = ConfigHome();
    if (home.empty() || !IsPlainFileName(appId)) {
        return std::string();
    }
    return home + "/autostart/" + appId + ".desktop";
}

std::string QuoteExecArgument(const std::string& arg) {
    // Exec quoting escapes " ` $ \ with a backslash; the key-file string
    // level then doubles every backslash.
    std::string out = "\"";
    for (char c : arg) {
        switch (c) {
            case '"': case '`': case '$': out += "\\\\"; out += c; break;
            case '\\': out += "\\\\\\\\"; break;
            case '%': out += "%%"; break;
            case '\n': case '\r': break;
            default: out += c;
        }
    }
    return out + "\"";
}

int EnableAutoStart(const std::string& appId, const std::string& displayName,
                    const std::string& programPath) {
    const std::string path = AutoStartEntryPath(appId);
    if (path.empty() || programPath.empty() || !MakeDirs(ConfigHome() + "/autostart")) {
        return -1;
    }
    const std::string tmp = path + ".tmp";
    {
        std::ofstream out(tmp, std::ios::trunc);
        if (!out) {
            return -1;
        }
        std::string name = displayName;
        for (char& c : name) {
            if (c == '\n' || c == '\r') c = ' ';
        }
        out << "[Desktop Entry]\n"
            << "Type=Application\n"
            << "Name=" << name << "\n"
            << "Exec=" << QuoteExecArgument(programPath) << "\n"
            << "Terminal=false\n"
            << "X-GNOME-Autostart-enabled=true\n";
        if (!out.flush()) {
            std::remove(tmp.c_str());
            return -1;
        }
    }
    return std::rename(tmp.c_str(), path.c_str()) == 0 ? 0 : -1;
}

int DisableAutoStart(const std::string& appId) {
    const std::string path = AutoStartEntryPath(appId);
    if (path.empty()) {
        return -1;
    }
    std::remove(path.c_str());
    std::ifstream probe(path);
    return probe ? -1 : 0;
}

std::string AutoStartCommand(const std::string& appId) {
    const std::string path = AutoStartEntryPath(appId);
    if (path.empty()) {
        return std::string();
    }
    std::ifstream in(path);
    std::string line;
    bool found = false;
    std::string exec;
    while (std::getline(in, line)) {
        found = true;
        if (line.rfind("Exec=", 0) == 0) {
            exec = line.substr(5);
        }
    }
    if (found && exec.empty()) {
        exec = path;  // an entry without Exec still counts as present
    }
    return exec;
}

}  // namespace platform
