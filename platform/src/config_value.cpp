#include "platform/config_value.h"

#include <cstdio>
#include <fstream>
#include <iterator>

#include "platform/xdg_paths.h"

namespace platform {
namespace {

bool ValidNames(const std::string& appName, const std::string& valueName) {
    return IsPlainFileName(appName) && IsPlainFileName(valueName);
}

}  // namespace

std::string ReadConfigValue(const std::string& appName, const std::string& valueName) {
    if (!ValidNames(appName, valueName)) {
        return std::string();
    }
    for (const std::string& dir : ConfigSearchDirs()) {
        std::ifstream in(dir + "/" + appName + "/" + valueName, std::ios::binary);
        if (in) {
            return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
    }
    return std::string();
}

int WriteConfigValue(const std::string& appName, const std::string& valueName, const std::string& data) {
    const std::string home = ConfigHome();
    if (home.empty() || !ValidNames(appName, valueName) || !MakeDirs(home + "/" + appName)) {
        return -1;
    }
    std::ofstream out(home + "/" + appName + "/" + valueName, std::ios::binary | std::ios::trunc);
    out << data;
    return out.flush() ? 0 : -1;
}

int RemoveConfigValue(const std::string& appName, const std::string& valueName) {
    const std::string home = ConfigHome();
    if (home.empty() || !ValidNames(appName, valueName)) {
        return -1;
    }
    const std::string path = home + "/" + appName + "/" + valueName;
    std::remove(path.c_str());
    std::ifstream probe(path);
    return probe ? -1 : 0;
}

}  // namespace platform
