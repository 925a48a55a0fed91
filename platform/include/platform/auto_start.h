#pragma once
// Auto start at log-in through an XDG autostart entry
// <config home>/autostart/<application id>.desktop.
#include <string>

#include "platform/platform_api.h"

namespace platform {

// Path of the entry for appId; empty when appId is not a plain file name or
// there is no config home.
PLATFORM_API std::string AutoStartEntryPath(const std::string& appId);

// Writes the entry; Exec runs programPath. 0 on success, -1 on failure.
PLATFORM_API int EnableAutoStart(const std::string& appId, const std::string& displayName,
                                 const std::string& programPath);

// Removes the entry. 0 when it is gone afterwards, -1 otherwise.
PLATFORM_API int DisableAutoStart(const std::string& appId);

// The entry's Exec line value, or empty text when there is no entry.
PLATFORM_API std::string AutoStartCommand(const std::string& appId);

// Quotes one argument for an Exec line.
PLATFORM_API std::string QuoteExecArgument(const std::string& arg);

}  // namespace platform
