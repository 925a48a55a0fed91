#pragma once
// The instance table and the node table of one group-control start, built
// from the platform's answer: accepted instances sorted by node number (so
// each node's instances form one index range), refused ones after them.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "fleet_link/gc_node_interface.h"
#include "mosaic_sdk/mosaic_sdk.h"
#include "plat_client/plat_records.h"

namespace mosaic_sdk {

// Node states (the values QueryNodeStatus reports).
enum NodeState : int32_t {
    kNodeNoStatus = MOSAIC_NODE_NO_STATUS,
    kNodeConnecting = MOSAIC_NODE_CONNECTING,
    kNodeDisconnected = MOSAIC_NODE_DISCONNECTED,
    kNodeConnected = MOSAIC_NODE_CONNECTED,
    kNodeControlling = MOSAIC_NODE_CONTROLLING,        // StartControl accepted
    kNodeAddFailed = MOSAIC_NODE_ADD_FAILED,           // the link could not be added
    kNodeControlRefused = MOSAIC_NODE_CONTROL_REFUSED,
};

// Instance state of an instance the platform refused.
constexpr int32_t kInstanceRefused = 4;

struct GCNodeInfo {
    std::string nodeNo;
    std::string address;
    int32_t port = 0;
    int32_t firstIndex = -1;
    int32_t lastIndex = -1;
    std::shared_ptr<fleet_link::IPicGCWSNodeInterface> link;
    int32_t state = kNodeNoStatus;
    int32_t refusalCode = 0;
    // The link reported "connected" before it was stored: control starts
    // as soon as it is.
    bool controlPending = false;
};

struct GroupTables {
    std::vector<InstanceStatusInfo> instances;
    std::map<std::string, int> index;          // instance number -> position in instances
    std::map<std::string, GCNodeInfo> nodes;   // by node number
    std::vector<std::string> screenshotNos;    // accepted in answer order, then refused

    void Clear();
    // The entry of an instance number, or null.
    InstanceStatusInfo* Find(const std::string& instanceNo);
    // The node serving an instance, or null.
    GCNodeInfo* NodeOf(const std::string& instanceNo);
};

GroupTables BuildGroupTables(const plat_client::PhoneGroupControlConnectRsp& answer);

// Instance numbers grouped by the node number of their table entry; numbers
// missing from the table are returned in unknown.
std::map<std::string, std::vector<std::string>> GroupByNode(const GroupTables& tables,
                                                            const std::vector<std::string>& instanceNos,
                                                            std::vector<std::string>& unknown);

// The text of a fixed-size field (no more than its size, even unterminated).
std::string FieldText(const char (&field)[256]);

}  // namespace mosaic_sdk
