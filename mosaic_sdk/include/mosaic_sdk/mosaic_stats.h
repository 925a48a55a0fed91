#pragma once
// The statistics of a group, filled on request by IMosaicSdk::GetStatistics.
//
// An addition of this project, not part of the designed interface: the
// query is appended after the designed operations of IMosaicSdk, so their
// slot order stays as it is. A plain record; counts the SDK does not have
// (no group started yet) are -1.
#include <cstdint>

#include "handset_sdk/handset_stats.h"

namespace mosaic_sdk {

struct QvPicGCStats {
    // The main phone's figures (all -1 and empty without a main phone).
    handset_sdk::QvPhoneStats main;
    // Followers: every instance of the group but the main phone.
    int32_t followers = -1;
    int32_t followersControlled = -1;  // on a node that took control, not paused
    int32_t followersPaused = -1;      // by ReduceInstance, not resumed since
    int32_t followersRefused = -1;     // by the platform, or on a node that refused control
    int32_t nodesConnected = -1;       // connected node links (controlling or not)
    int32_t nodesTotal = -1;
};

}  // namespace mosaic_sdk
