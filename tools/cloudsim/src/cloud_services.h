#pragma once
// What every part of the local cloud shares: the log, the record and the
// fault scripts.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "fault_book.h"
#include "record_store.h"
#include "sim_log.h"

namespace cloudsim {

struct CloudServices {
    explicit CloudServices(SimLog logger) : log(std::move(logger)) {}
    SimLog log;
    RecordStore records;
    FaultBook faults;
    // Set before the cloud starts; see CloudOptions::onVideoSent.
    std::function<void(const std::string& instanceNo, const std::vector<uint8_t>& accessUnit)> videoSent;
    // Set before the cloud starts; see CloudOptions::onInputApplied.
    std::function<void(const std::string& instanceNo, const std::string& kind, bool viaNode)> inputApplied;
};

}  // namespace cloudsim
