#pragma once
// XDG base directories (freedesktop.org base directory rules).
#include <string>
#include <vector>

#include "platform/platform_api.h"

namespace platform {

// $XDG_CONFIG_HOME when absolute, else $HOME/.config; empty without either.
PLATFORM_API std::string ConfigHome();

// ConfigHome() first, then each absolute entry of $XDG_CONFIG_DIRS
// (default "/etc/xdg").
PLATFORM_API std::vector<std::string> ConfigSearchDirs();

// True when name can be used as one path component: not empty, no '/',
// no '\\', not "." or "..", no NUL.
PLATFORM_API bool IsPlainFileName(const std::string& name);

// Creates dir and its parents (mode 0755); true when it is a directory afterwards.
PLATFORM_API bool MakeDirs(const std::string& dir);

}  // namespace platform
