#include "platform/program_file.h"

#include <unistd.h>

#include <climits>

namespace platform {

std::string ProgramFilePath() {
    char buf[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof(buf));
    if (n <= 0 || static_cast<size_t>(n) >= sizeof(buf)) {
        return std::string();
    }
    return std::string(buf, static_cast<size_t>(n));
}

std::string ProgramFileName() {
    const std::string path = ProgramFilePath();
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace platform
