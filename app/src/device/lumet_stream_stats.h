#pragma once
// The in-house SDK's statistics record as the overlay's figures.
#include "device/stream_stats.h"
#include "handset_sdk/handset_stats.h"

namespace app {

StreamStats StreamStatsFromHandset(const handset_sdk::QvPhoneStats& figures);

}  // namespace app
