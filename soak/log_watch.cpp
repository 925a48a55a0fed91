#include "log_watch.h"

namespace soak {

namespace {
constexpr int kErrorLevel = 60;
}

LogWatch::LogWatch(const std::vector<std::string>& texts) {
    for (const auto& text : texts) m_counters[text] = std::make_unique<Counter>();
}

void LogWatch::OnLine(int level, const std::string& line) {
    if (level >= kErrorLevel) ++m_errors;
    for (auto& entry : m_counters) {
        if (line.find(entry.first) == std::string::npos) continue;
        entry.second->lastNs = Clock::now().time_since_epoch().count();
        ++entry.second->count;
    }
}

int LogWatch::Count(const std::string& text) const {
    auto it = m_counters.find(text);
    return it == m_counters.end() ? 0 : it->second->count.load();
}

Clock::time_point LogWatch::LastSeen(const std::string& text) const {
    auto it = m_counters.find(text);
    if (it == m_counters.end()) return Clock::time_point();
    return Clock::time_point(Clock::duration(it->second->lastNs.load()));
}

}  // namespace soak
