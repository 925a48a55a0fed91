#pragma once
// Recovery times per link and fault kind, and their summary.
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "fault_round.h"

namespace soak {

class RecoveryStats {
public:
    void Add(const std::string& link, FaultKind kind, double seconds);
    // One line per link and kind, and one per link over every kind: count, average, worst.
    std::vector<std::string> Summary() const;
    size_t Count() const;

private:
    std::map<std::pair<std::string, int>, std::vector<double>> m_times;
};

}  // namespace soak
