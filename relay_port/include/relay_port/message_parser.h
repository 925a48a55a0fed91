#pragma once
// Parsers of every server package body of the stream link. Each body first
// passes the FlatBuffers verifier; a parser returns false when it does not,
// and then leaves the record untouched. Absent fields read as their defaults.
#include <cstddef>
#include <cstdint>
#include <string>

#include "relay_port/relay_port.h"

namespace relay_port {
namespace wire {

struct AuthResult {  // 1001
    int32_t code = 0;
    std::string msg, info1, info2, hubVersion, codecs;
    int64_t time = 0;
};

struct PlayResult {  // 1003
    int32_t code = 0;
    std::string msg;
    uint32_t videoCodec = 0, bitrate = 0, fps = 0, width = 0, height = 0;
    uint32_t audioCodec = 0, sampleRate = 0, channels = 0;
    std::string text;
    int64_t time = 0;
};

struct OfferResult {  // 1005
    int32_t code = 0;
    std::string msg, offer;
    int64_t time = 0;
};

struct CodeMsgResult {  // 1007 answer, 1009 candidate and 2005 play-control results
    int32_t code = 0;
    std::string msg;
    int64_t time = 0;
};

struct CandidateMsg {  // 1008
    std::string candidate, mid;
    uint32_t mlineIndex = 0;
    std::string sessionId;
    int64_t time = 0;
};

struct ErrorMsg {  // 1099
    int32_t code = 0;
    std::string msg;
};

struct AppResult {  // 2001
    int32_t code = 0;
    std::string msg, appName;
};

struct VideoParamResult {  // 2003
    int32_t code = 0;
    uint32_t fps = 0, bitrate = 0, width = 0, height = 0;
    std::string msg;
    int64_t time = 0;
};

struct MsgTransRequest {  // 2007
    std::string msg, service, sessionId;
    int64_t time = 0;
};

struct MsgTransResponse {  // 2008
    int32_t code = 0;
    std::string service, msg, sessionId;
    int64_t time = 0;
};

struct DelayEcho {  // 2009
    int64_t time = 0;  // the time the client put into its probe
};

struct SetRotationResult {  // 2013
    int32_t code = 0;
    int64_t time = 0;
};

struct ScreenOutMsg {  // 4000
    uint32_t rotation = 0, fps = 0, bitrate = 0, width = 0, height = 0;
};

struct CopyOutMsg {  // 4001
    std::string data;
};

struct CloudNotifyMsg {  // 4003
    uint32_t type = 0;
    std::string msg;
};

struct AppEventMsg {  // 4004
    uint32_t type = 0, state = 0;
};

struct SensorOutMsg {  // 4005
    uint32_t type = 0, status = 0;
};

struct MicOutMsg {  // 4006
    uint32_t type = 0, status = 0, samples = 0;
};

struct CameraOutMsg {  // 4007
    uint32_t type = 0, status = 0;
    uint16_t width = 0, height = 0;
};

struct CursorMsg {  // 4008
    uint32_t state = 0;
};

struct VideoFrame {  // 4009, raw; data points into the body
    uint64_t first = 0, second = 0;
    const uint8_t* data = nullptr;
    uint32_t length = 0;
};

RELAY_PORT_API bool ParseAuthResult(const void* body, size_t length, AuthResult* out);
RELAY_PORT_API bool ParsePlayResult(const void* body, size_t length, PlayResult* out);
RELAY_PORT_API bool ParseOfferResult(const void* body, size_t length, OfferResult* out);
RELAY_PORT_API bool ParseCodeMsgResult(const void* body, size_t length, CodeMsgResult* out);
RELAY_PORT_API bool ParseCandidate(const void* body, size_t length, CandidateMsg* out);
RELAY_PORT_API bool ParseError(const void* body, size_t length, ErrorMsg* out);
RELAY_PORT_API bool ParseAppResult(const void* body, size_t length, AppResult* out);
RELAY_PORT_API bool ParseVideoParamResult(const void* body, size_t length, VideoParamResult* out);
RELAY_PORT_API bool ParseMsgTransRequest(const void* body, size_t length, MsgTransRequest* out);
RELAY_PORT_API bool ParseMsgTransResponse(const void* body, size_t length, MsgTransResponse* out);
RELAY_PORT_API bool ParseDelayEcho(const void* body, size_t length, DelayEcho* out);
RELAY_PORT_API bool ParseSetRotationResult(const void* body, size_t length, SetRotationResult* out);
RELAY_PORT_API bool ParseScreenOut(const void* body, size_t length, ScreenOutMsg* out);
RELAY_PORT_API bool ParseCopyOut(const void* body, size_t length, CopyOutMsg* out);
RELAY_PORT_API bool ParseCloudNotify(const void* body, size_t length, CloudNotifyMsg* out);
RELAY_PORT_API bool ParseAppEvent(const void* body, size_t length, AppEventMsg* out);
RELAY_PORT_API bool ParseSensorOut(const void* body, size_t length, SensorOutMsg* out);
RELAY_PORT_API bool ParseMicOut(const void* body, size_t length, MicOutMsg* out);
RELAY_PORT_API bool ParseCameraOut(const void* body, size_t length, CameraOutMsg* out);
RELAY_PORT_API bool ParseCursor(const void* body, size_t length, CursorMsg* out);
// False when the body is shorter than its 16-byte prefix.
RELAY_PORT_API bool ParseVideoFrame(const void* body, size_t length, VideoFrame* out);

}  // namespace wire
}  // namespace relay_port
