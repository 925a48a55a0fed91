#pragma once
// The local cloud's group-control nodes as tests see them: what each node
// received, the instances each connection controls, and the faults a test
// can script for a node.
#include <cstdint>
#include <string>
#include <vector>

#include <json/value.h>

namespace cloudsim {

// One package a node received, and how it answered.
struct NodeMessage {
    uint64_t seq = 0;       // order of arrival across the node
    int64_t timeMs = 0;     // ms since 1970
    std::string nodeNo;
    int connection = 0;     // the WebSocket connection it came on (1, 2, ... per listening)
    std::string connId;     // the connection id the node gave at registration ("" before)
    uint32_t type = 0;      // package type (1001 register, 1005 start control, 1015 input, ...)
    // "register", "heartbeat", "heartbeatAnswer", "startControl", "addInstance",
    // "reduceInstance", "queryInstanceStatus", "stopControl", "input",
    // "switchMain", or "invalid" for a package that failed its checks.
    std::string kind;
    Json::Value body;       // the request as parsed (input: "opData" parsed too); null when invalid
    int code = -1;          // the code answered; -1 when nothing was answered
    std::string error;      // why the package or its request was refused; "" when fine
};

// Instance states a node reports in status answers.
constexpr int kNodeInstanceControlled = 1;  // receives the copied input
constexpr int kNodeInstanceReduced = 2;     // taken out by reduce-instance until added again
constexpr int kNodeInstanceFailed = 3;      // refused (errCode says why); receives nothing

// An instance under a connection's control.
struct NodeInstanceView {
    std::string instanceNo;
    std::string sessionId;
    std::string uid;
    int state = kNodeInstanceControlled;
    int errCode = 0;
    bool main = false;      // the connection's main instance: it gets its input from its own stream
};

// One registered connection of a node.
struct NodeConnectionView {
    int connection = 0;
    std::string connId;
    std::string mainInstanceNo;
    int streamWidth = 0;    // from start control's stream configuration
    int streamHeight = 0;
    int64_t lastDelayMs = -1;  // the last delay the client measured (heartbeat answer)
    std::vector<NodeInstanceView> instances;
};

struct NodeView {
    std::string nodeNo;
    uint16_t port = 0;      // serves "ws://" and "wss://" on 127.0.0.1, path "/ws"
    bool listening = false;
    size_t accepted = 0;    // connections accepted over the node's life, across restarts
    std::vector<NodeConnectionView> connections;  // open ones
};

struct NodeFaultScript {
    int registerCode = 0;        // registration answered with this code (refused)
    std::string registerMsg = "registration refused by fault script";
    int answerCode = 0;          // start, add, reduce, switch and status answers carry this code
    std::string answerMsg = "refused by fault script";
    bool noHeartbeatEcho = false;  // the client's heartbeats get no echo
    bool refuseUpgrade = false;    // WebSocket upgrades are answered 503 ...
    int refuseUpgradeMs = 0;       // ... only for this long after the script was set (0: no limit)
    bool silent = false;           // nothing is answered at all
};

// Reads a script from JSON with the field names above; keys left out keep
// their defaults. "" on success, else what is wrong.
std::string NodeFaultScriptFromJson(const Json::Value& json, NodeFaultScript& out);

Json::Value ToJson(const NodeMessage& message);
Json::Value ToJson(const NodeView& view);

}  // namespace cloudsim
