#pragma once
// The group-control nodes' link states, reported on request by
// IMosaicSdk::QueryNodeStatus through IPicGCNotic::OnQueryNodeStatus.
//
// An addition of this project, not part of the designed interface: the query
// is appended after the designed operations of IMosaicSdk and the
// notification after IPicGCNotic's destructor, so no designed slot moves.
// It lets the application tell which followers sit on a node whose link is
// down (their instance states are the node's last report, which goes stale).
#include <cstdint>

namespace mosaic_sdk {

// Values of NodeStatusInfo::state.
enum MosaicNodeState : int32_t {
    MOSAIC_NODE_NO_STATUS = 0,       // nothing reported yet
    MOSAIC_NODE_CONNECTING = 1,      // connecting (the first time, or again after a loss)
    MOSAIC_NODE_DISCONNECTED = 2,    // the link is down
    MOSAIC_NODE_CONNECTED = 3,       // connected, control not yet answered
    MOSAIC_NODE_CONTROLLING = 4,     // connected, StartControl accepted
    MOSAIC_NODE_ADD_FAILED = 6,      // no link could be made for the node
    MOSAIC_NODE_CONTROL_REFUSED = 7  // connected, StartControl refused (refusalCode says why)
};

// One node of the group, in node-number order.
struct NodeStatusInfo {
    char nodeNo[256];
    int32_t state;        // MosaicNodeState
    int32_t refusalCode;  // the node's answer code for MOSAIC_NODE_CONTROL_REFUSED, else 0
};

}  // namespace mosaic_sdk
