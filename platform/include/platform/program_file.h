#pragma once
// The running program's own file, read from /proc/self/exe.
#include <string>

#include "platform/platform_api.h"

namespace platform {

// Absolute path of the executable; empty when it cannot be read.
PLATFORM_API std::string ProgramFilePath();

// The part of ProgramFilePath() after the last '/'.
PLATFORM_API std::string ProgramFileName();

}  // namespace platform
