#include "recovery_stats.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <numeric>

namespace soak {

void RecoveryStats::Add(const std::string& link, FaultKind kind, double seconds) {
    m_times[{link, static_cast<int>(kind)}].push_back(seconds);
}

namespace {

std::string Line(const std::string& link, const char* kind, const std::vector<double>& times) {
    const double mean = std::accumulate(times.begin(), times.end(), 0.0) / static_cast<double>(times.size());
    const double max = *std::max_element(times.begin(), times.end());
    char line[160];
    std::snprintf(line, sizeof line, "%-10s %-12s %3zu recoveries, average %.2f s, worst %.2f s", link.c_str(), kind,
                  times.size(), mean, max);
    return line;
}

}  // namespace

std::vector<std::string> RecoveryStats::Summary() const {
    std::vector<std::string> lines;
    std::vector<double> all;  // the current link's times over every kind
    for (auto it = m_times.begin(); it != m_times.end(); ++it) {
        const std::vector<double>& times = it->second;
        if (times.empty()) continue;
        lines.push_back(Line(it->first.first, KindName(static_cast<FaultKind>(it->first.second)), times));
        all.insert(all.end(), times.begin(), times.end());
        const auto next = std::next(it);
        if (next == m_times.end() || next->first.first != it->first.first) {
            lines.push_back(Line(it->first.first, "every kind", all));
            all.clear();
        }
    }
    return lines;
}

size_t RecoveryStats::Count() const {
    size_t n = 0;
    for (const auto& entry : m_times) n += entry.second.size();
    return n;
}

}  // namespace soak
