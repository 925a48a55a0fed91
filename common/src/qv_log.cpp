#include "common/qv_log.h"

#include <cstring>

namespace common {

void ApplyLogParam(const QvLogParam* param, const char* defaultName) {
    int level = param ? param->level : 20;
    const char* dir = param ? param->directory : "./QVLog";
    const char* name = param ? param->name : defaultName;
    int first = param ? param->fileSizeKb : 1024;
    int second = param ? param->flush : 0;
    int third = param ? param->fileCount : 5;
    auto log = base::IBaseLogInterface::GetLogInstance();
    log->SetLevel(&level);
    log->SetDir(dir);
    log->SetName(name);
    log->SetFileSizeKb(&first);
    log->SetFlush(&second);
    log->SetFileCount(&third);
    log->Apply();
}

void CopyText(char (&dst)[256], const char* src) {
    if (!src) {
        dst[0] = '\0';
        return;
    }
    size_t n = strnlen(src, sizeof dst - 1);
    std::memcpy(dst, src, n);
    dst[n] = '\0';
}

}  // namespace common
