#pragma once
// What every part of the local cloud shares: the log, the record and the
// fault scripts.
#include <memory>

#include "fault_book.h"
#include "record_store.h"
#include "sim_log.h"

namespace cloudsim {

struct CloudServices {
    explicit CloudServices(SimLog logger) : log(std::move(logger)) {}
    SimLog log;
    RecordStore records;
    FaultBook faults;
};

}  // namespace cloudsim
