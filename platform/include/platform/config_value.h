#pragma once
// Registry-like values: one file per value under the XDG config directories,
// <dir>/<application name>/<value name>. An absent file is an empty value.
#include <string>

#include "platform/platform_api.h"

namespace platform {

// Content of the first file found along ConfigSearchDirs(); empty when none
// exists or a name is not a plain file name.
PLATFORM_API std::string ReadConfigValue(const std::string& appName, const std::string& valueName);

// Writes the value into the config home. 0 on success, -1 on failure.
PLATFORM_API int WriteConfigValue(const std::string& appName, const std::string& valueName,
                                  const std::string& data);

// Removes the value from the config home. 0 when it is gone afterwards.
PLATFORM_API int RemoveConfigValue(const std::string& appName, const std::string& valueName);

}  // namespace platform
