#include "sim_log.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace cloudsim {

SimLog::SimLog(int level, Sink sink) : m_level(level), m_sink(std::move(sink)) {}

void SimLog::Write(int level, const char* format, ...) const {
    if (level < m_level) return;
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::vector<char> text(length > 0 ? static_cast<size_t>(length) + 1 : 1, '\0');
    if (length > 0) std::vsnprintf(text.data(), text.size(), format, args);
    va_end(args);
    const std::string line = std::string("[CLOUDSIM]") + text.data();
    if (m_sink) {
        m_sink(level, line);
    } else {
        std::fprintf(stderr, "%s\n", line.c_str());
    }
}

}  // namespace cloudsim
