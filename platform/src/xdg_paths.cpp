#include "platform/xdg_paths.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>

namespace platform {
namespace {

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

bool IsDir(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

std::string ConfigHome() {
    const std::string xdg = Env("XDG_CONFIG_HOME");
    if (!xdg.empty() && xdg[0] == '/') {
        return xdg;
    }
    const std::string home = Env("HOME");
    return home.empty() ? std::string() : home + "/.config";
}

std::vector<std::string> ConfigSearchDirs() {
    std::vector<std::string> dirs;
    const std::string home = ConfigHome();
    if (!home.empty()) {
        dirs.push_back(home);
    }
    std::string list = Env("XDG_CONFIG_DIRS");
    if (list.empty()) {
        list = "/etc/xdg";
    }
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(':', start);
        if (end == std::string::npos) {
            end = list.size();
        }
        const std::string dir = list.substr(start, end - start);
        if (!dir.empty() && dir[0] == '/') {
            dirs.push_back(dir);
        }
        start = end + 1;
    }
    return dirs;
}

bool IsPlainFileName(const std::string& name) {
    if (name.empty() || name == "." || name == "..") {
        return false;
    }
    return name.find_first_of(std::string("/\\\0", 3)) == std::string::npos;
}

bool MakeDirs(const std::string& dir) {
    if (dir.empty()) {
        return false;
    }
    if (IsDir(dir)) {
        return true;
    }
    const size_t slash = dir.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !MakeDirs(dir.substr(0, slash))) {
        return false;
    }
    if (::mkdir(dir.c_str(), 0755) != 0 && errno != EEXIST) {
        return false;
    }
    return IsDir(dir);
}

}  // namespace platform
