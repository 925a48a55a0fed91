#pragma once
// The node protocol's framing as the node peer reads and writes it: an
// 8-byte header (type, body length; network byte order) and a JSON body.
#include <cstdint>
#include <string>

#include <json/value.h>

namespace peers {

namespace node_msg {
constexpr uint32_t kRegisterReq = 1001;
constexpr uint32_t kRegisterRsp = 1002;
constexpr uint32_t kHeartBeatReq = 1003;
constexpr uint32_t kHeartBeatRsp = 1004;
constexpr uint32_t kStartControlReq = 1005;
constexpr uint32_t kStartControlRsp = 1006;
constexpr uint32_t kAddInstanceReq = 1007;
constexpr uint32_t kAddInstanceRsp = 1008;
constexpr uint32_t kReduceInstanceReq = 1009;
constexpr uint32_t kReduceInstanceRsp = 1010;
constexpr uint32_t kQueryInstanceStatusReq = 1011;
constexpr uint32_t kQueryInstanceStatusRsp = 1012;
constexpr uint32_t kStopControlReq = 1013;
constexpr uint32_t kStopControlRsp = 1014;
constexpr uint32_t kInputReq = 1015;
constexpr uint32_t kSwitchMainReq = 1016;
constexpr uint32_t kSwitchMainRsp = 1017;
constexpr uint32_t kError = 2001;
}  // namespace node_msg

// Header and body as one frame payload.
std::string FrameNodePackage(uint32_t type, const std::string& body);
// Splits a frame payload; false when it is shorter than the header or its
// length word disagrees with its size.
bool SplitNodePackage(const std::string& frame, uint32_t& type, std::string& body);
// Strict reading: one JSON value, no comments, nothing after it.
bool ReadNodeJson(const std::string& text, Json::Value& root);
// Compact text without a trailing newline.
std::string WriteNodeJson(const Json::Value& value);

}  // namespace peers
