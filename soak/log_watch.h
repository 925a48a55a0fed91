#pragma once
// Counts the SDK log lines the soak waits for (a node link connected or
// disconnected) and the error lines, without keeping the lines themselves.
#include <atomic>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "soak_wait.h"

namespace soak {

class LogWatch {
public:
    // Every text to count is named before the first line arrives.
    explicit LogWatch(const std::vector<std::string>& texts);

    // The log capture: called on any thread.
    void OnLine(int level, const std::string& line);

    int Count(const std::string& text) const;
    // When a line with this text was seen last.
    Clock::time_point LastSeen(const std::string& text) const;
    int ErrorLines() const { return m_errors.load(); }

private:
    struct Counter {
        std::atomic<int> count{0};
        std::atomic<int64_t> lastNs{0};
    };
    std::map<std::string, std::unique_ptr<Counter>> m_counters;  // fixed after construction
    std::atomic<int> m_errors{0};
};

}  // namespace soak
