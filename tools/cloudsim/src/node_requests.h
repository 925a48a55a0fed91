#pragma once
// Reads what a client sends a group-control node: the package framing, the
// JSON body of each request type with every key checked for presence and
// kind, and the input operation embedded as JSON text in "opData". Nothing
// unchecked reaches the node's logic.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <json/value.h>

namespace cloudsim {

namespace node_type {
constexpr uint32_t kRegisterReq = 1001;
constexpr uint32_t kRegisterRsp = 1002;
constexpr uint32_t kHeartBeat = 1003;
constexpr uint32_t kHeartBeatRsp = 1004;
constexpr uint32_t kStartControlReq = 1005;
constexpr uint32_t kStartControlRsp = 1006;
constexpr uint32_t kAddInstanceReq = 1007;
constexpr uint32_t kAddInstanceRsp = 1008;
constexpr uint32_t kReduceInstanceReq = 1009;
constexpr uint32_t kReduceInstanceRsp = 1010;
constexpr uint32_t kQueryStatusReq = 1011;
constexpr uint32_t kQueryStatusRsp = 1012;
constexpr uint32_t kStopControlReq = 1013;
constexpr uint32_t kStopControlRsp = 1014;
constexpr uint32_t kInputReq = 1015;
constexpr uint32_t kSwitchMainReq = 1016;
constexpr uint32_t kSwitchMainRsp = 1017;
constexpr uint32_t kError = 2001;
}  // namespace node_type

// Texts in node requests are cut to this size in the record; inputs longer
// than the client's own limit are refused.
constexpr size_t kMaxNodeText = 1048576;

struct ControlEntry {
    std::string uid;
    std::string sessionId;
    std::string instanceNo;
};

// One input operation (opType 1 to 12) with its values read.
struct NodeInput {
    int opType = 0;
    std::string kind;        // "inputString", "copyString", "key", "mouseClick", "mouseMiddleClick",
                             // "mouseMove", "touch", "position", "sensor", "msgTrans",
                             // "instanceInput", "instanceClipboard"
    Json::Value fields;      // the opData object as read
    int touchType = 0;       // touch; mouse move uses points too
    std::vector<std::pair<int64_t, int64_t>> points;
    int key = 0;             // key: the Linux key code (the signed byte taken back to 0..255)
    bool down = false;       // key, mouse clicks
    std::string text;        // inputString, copyString
    std::vector<std::pair<std::string, std::string>> perInstance;  // instanceInput, instanceClipboard
};

struct NodeRequest {
    uint32_t type = 0;
    std::string kind;        // see NodeMessage::kind
    Json::Value body;        // the body as read
    std::string connId;      // all but register
    // register
    int clientType = 0;
    std::string sdkVersion;
    // heartbeat, heartbeat answer
    int64_t ts = 0;
    int64_t delay = 0;
    // start control
    std::string mainInstanceNo;
    std::vector<ControlEntry> entries;
    std::string app;
    std::string ext;
    int64_t width = 0;
    int64_t height = 0;
    // add, reduce
    std::vector<std::string> instanceNos;
    // switch main
    std::string newMainInstanceNo;
    // input
    NodeInput input;
};

// The answer type of a request type, 0 when it has none.
uint32_t AnswerTypeOf(uint32_t requestType);

// Reads one WebSocket message. "" when out holds a checked request, else why
// it was refused; out.type is then set when the header could be read.
std::string ReadNodeRequest(const std::string& frame, bool binary, NodeRequest& out);

// Reads the JSON text of an input operation; "" or why it was refused.
std::string ReadNodeInput(int opType, const std::string& opData, NodeInput& out);

// One package: header and compact JSON body.
std::string NodePackage(uint32_t type, const Json::Value& body);

}  // namespace cloudsim
