#pragma once
// Records exchanged with the group-control node link: what the caller hands
// to the operations and what the node's answers are parsed into.
#include <cstdint>

#define FLEET_LINK_API __attribute__((visibility("default")))

namespace fleet_link {

// Kind of error passed with IPicGCWSNodeNotic::OnNodeErrorNotic. The link
// itself uses 1 for a refused registration; error reports from a node carry
// the node's own errType value unchanged.
enum EErrorType : int {
    ERROR_TYPE_REGISTER = 1,
};

// Connection status passed with IPicGCWSNodeNotic::OnNodeStatusNotic.
enum NodeStatus : int {
    NODE_STATUS_DISCONNECTED = 0,
    NODE_STATUS_CONNECTING = 1,
    NODE_STATUS_CONNECTED = 2,
};

// Stream configuration of a start-control request.
struct StreamConf {
    char app[256];
    char ext[256];
    uint32_t width;
    uint32_t height;
};

// One instance to control.
struct ControlInstance {
    char uid[256];
    char sessionId[256];
    char instanceNo[256];
};

// Text for one instance.
struct InstanceInput {
    char instanceNo[256];
    char str[256];
};

// One element of a status answer.
struct InstanceStateInfo {
    char instanceNo[256];
    int32_t state;
    int32_t width;
    int32_t height;
    int32_t errCode;
    bool isProxy;
};

// One element of a node's error report.
struct InstanceErrorInfo {
    char instanceNo[256];
    int32_t errCode;
};

}  // namespace fleet_link
