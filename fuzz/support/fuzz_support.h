#pragma once
// Helpers shared by the fuzz targets.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "base/base_log.h"

namespace fuzz_support {

// Every log line is still formatted (the formatting sees the fuzzed texts)
// but written nowhere: no console, no file.
inline void QuietLogs() {
    auto log = base::IBaseLogInterface::GetLogInstance();
    const int level = 0;
    const bool console = false;
    log->SetLevel(&level);
    log->SetConsole(&console);
    log->SetDir("");
    log->SetName("");
    log->Apply();
}

// Splits an input into a leading selector byte and the rest.
struct Selected {
    uint8_t selector = 0;
    const uint8_t* rest = nullptr;
    size_t restSize = 0;
};

inline bool Select(const uint8_t* data, size_t size, Selected& out) {
    if (size == 0) return false;
    out.selector = data[0];
    out.rest = data + 1;
    out.restSize = size - 1;
    return true;
}

// A folder of this process under the temporary directory, made on first use
// and removed at exit, so that parallel runs do not share their files.
inline const std::filesystem::path& ProcessTempFolder(const char* name) {
    struct Folder {
        std::filesystem::path path;
        ~Folder() {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    };
    static const Folder folder = [name] {
        Folder made{std::filesystem::temp_directory_path() / (std::string(name) + "." + std::to_string(getpid()))};
        std::filesystem::create_directories(made.path);
        return made;
    }();
    return folder.path;
}

inline std::string Text(const uint8_t* data, size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size);
}

}  // namespace fuzz_support
