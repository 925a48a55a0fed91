#pragma once
// The vendor SDK's stream figures as the overlay's figures.
#include "device/stream_stats.h"
#include "swplay_u/sw_stream_stats.h"

namespace app {

StreamStats StreamStatsFromVendor(const swplay_u::SWStreamStats& figures);

}  // namespace app
