#pragma once
// Records the log lines written while it is alive, for tests that assert them.
#include <mutex>
#include <string>
#include <vector>

namespace plat_test {

// Captures log lines while alive.
class LogRecorder {
public:
    LogRecorder();
    ~LogRecorder();
    bool Contains(const std::string& text) const;
    size_t CountOf(const std::string& text) const;

private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_lines;
};

}  // namespace plat_test
