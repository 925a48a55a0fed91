#pragma once
// The fault scripts of all instances and how many calls or connections each
// still affects. Thread-safe.
#include <chrono>
#include <map>
#include <mutex>
#include <string>

#include "cloudsim/fault_script.h"

namespace cloudsim {

class FaultBook {
public:
    void Set(const std::string& instanceNo, const FaultScript& script);
    void Clear();
    // The API faults for one call concerning instanceNo ("" for none); uses up one call.
    FaultScript TakeApiFaults(const std::string& instanceNo);
    // Whether the next stream upgrade of instanceNo is refused; a refusal uses up one connection.
    bool TakeUpgradeRefusal(const std::string& instanceNo);
    // The stream faults for one new connection of instanceNo; uses up one connection.
    FaultScript TakeStreamFaults(const std::string& instanceNo);

private:
    FaultScript* Find(const std::string& instanceNo);

    std::mutex m_mutex;
    std::map<std::string, FaultScript> m_scripts;  // "*" is the fallback
    // When a time-limited upgrade refusal of each script ends.
    std::map<std::string, std::chrono::steady_clock::time_point> m_refuseUntil;
};

}  // namespace cloudsim
