#include "log_recorder.h"

#include <cstdlib>

#include "base/base_log.h"

namespace plat_test {

// Detail lines (level 0) are asserted too; the logger reads its level when it
// is first used, so this must run before any test does.
const bool kDetailLogging = (setenv("TESSIVO_LOG_LEVEL", "0", 0), true);

LogRecorder::LogRecorder() {
    base::SetLogCapture([this](int, const std::string& line) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_lines.push_back(line);
    });
}

LogRecorder::~LogRecorder() { base::SetLogCapture(nullptr); }

bool LogRecorder::Contains(const std::string& text) const { return CountOf(text) > 0; }

size_t LogRecorder::CountOf(const std::string& text) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    size_t count = 0;
    for (const auto& line : m_lines) {
        if (line.find(text) != std::string::npos) ++count;
    }
    return count;
}

}  // namespace plat_test
