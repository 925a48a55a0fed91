#pragma once
// Logging glue shared by the SDK libraries: the parameter record of their
// static SetLogParam and one macro per line.
#include <cstdint>

#include "base/base_log.h"

struct QvLogParam {
    int32_t level;
    char directory[256];
    char name[256];
    int32_t fileSizeKb;  // rotation size of one log file
    int32_t flush;       // 1 flushes after every line
    int32_t fileCount;   // rotated files kept
};

namespace common {

// Hands param (or the defaults when it is null: level 20, "./QVLog", the
// library's own name, 1024, 0, 5) to the process-wide logger and applies it.
void ApplyLogParam(const QvLogParam* param, const char* defaultName);

// Copies at most 255 bytes of src into a char[256] field and terminates it.
void CopyText(char (&dst)[256], const char* src);

}  // namespace common

// Every line carries its library's bracketed prefix inside the format.
#define QV_LOG(level, ...) \
    ::base::IBaseLogInterface::GetLogInstance()->Log((level), ::base::GetTid(), __VA_ARGS__)

enum QvLogLevel { QV_LOG_DETAIL = 0, QV_LOG_INFO = 20, QV_LOG_WARN = 40, QV_LOG_ERROR = 60, QV_LOG_FATAL = 80 };
