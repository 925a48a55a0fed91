#include "recovery_stats.h"

#include <algorithm>
#include <cstdio>
#include <numeric>

namespace soak {

void RecoveryStats::Add(const std::string& link, FaultKind kind, double seconds) {
    m_times[{link, static_cast<int>(kind)}].push_back(seconds);
}

std::vector<std::string> RecoveryStats::Summary() const {
    std::vector<std::string> lines;
    for (const auto& entry : m_times) {
        const std::vector<double>& times = entry.second;
        if (times.empty()) continue;
        const double mean = std::accumulate(times.begin(), times.end(), 0.0) / static_cast<double>(times.size());
        const double max = *std::max_element(times.begin(), times.end());
        char line[160];
        std::snprintf(line, sizeof line, "%-10s %-12s %3zu recoveries, mean %.2f s, max %.2f s",
                      entry.first.first.c_str(), KindName(static_cast<FaultKind>(entry.first.second)), times.size(),
                      mean, max);
        lines.push_back(line);
    }
    return lines;
}

size_t RecoveryStats::Count() const {
    size_t n = 0;
    for (const auto& entry : m_times) n += entry.second.size();
    return n;
}

}  // namespace soak
