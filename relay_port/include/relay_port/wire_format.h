#pragma once
// Package framing of the stream signalling link, shared by the client and any
// server side: every binary WebSocket frame is one package made of a 4-byte
// big-endian type code, a 4-byte big-endian body length and the body.
// Header-only, no dependencies beyond the standard library.
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace relay_port {
namespace wire {

constexpr size_t kHeaderSize = 8;
// Raw 4009 bodies start with two 64-bit values (host byte order) before the frame.
constexpr size_t kVideoPrefixSize = 16;
// Raw 4010 bodies shorter than this are dropped.
constexpr size_t kMinAudioSize = 2;
// The single byte of a 3999 dummy package.
constexpr char kDummyByte = 0x31;

enum MsgType : uint32_t {
    kAuthReq = 1000,
    kAuthRes = 1001,
    kPlayReq = 1002,
    kPlayRes = 1003,
    kOfferReq = 1004,
    kOfferRes = 1005,
    kAnswerReq = 1006,
    kAnswerRes = 1007,
    kCandidate = 1008,
    kCandidateRes = 1009,
    kError = 1099,
    kAppRes = 2001,
    kSetVideoParamReq = 2002,
    kVideoParamRes = 2003,
    kPlayControlReq = 2004,
    kPlayControlRes = 2005,
    kMsgTransReq = 2007,
    kMsgTransRes = 2008,
    kDelay = 2009,
    kDelayReport = 2010,
    kSetRotationReq = 2012,
    kSetRotationRes = 2013,
    kInputModeReq = 2014,
    kInputString = 3000,
    kCopyString = 3002,
    kKey = 3003,
    kTouch = 3007,
    kSensor = 3008,
    kLocation = 3009,
    kMicParam = 3010,
    kMicData = 3011,
    kCameraParam = 3012,
    kCameraData = 3013,
    kDummy = 3999,
    kScreenOut = 4000,
    kCopyOut = 4001,
    kCloudNotify = 4003,
    kAppEvent = 4004,
    kSensorOut = 4005,
    kMicOut = 4006,
    kCameraOut = 4007,
    kCursor = 4008,
    kVideoFrame = 4009,
    kAudioFrame = 4010,
};

// Error code with which the server asks for a new session (reconnect).
constexpr int32_t kErrorNewSession = 60103013;

inline void PutBE32(uint8_t* out, uint32_t v) {
    out[0] = static_cast<uint8_t>(v >> 24);
    out[1] = static_cast<uint8_t>(v >> 16);
    out[2] = static_cast<uint8_t>(v >> 8);
    out[3] = static_cast<uint8_t>(v);
}

inline uint32_t GetBE32(const uint8_t* in) {
    return (static_cast<uint32_t>(in[0]) << 24) | (static_cast<uint32_t>(in[1]) << 16) |
           (static_cast<uint32_t>(in[2]) << 8) | static_cast<uint32_t>(in[3]);
}

// Writes the 8-byte header for a body of bodyLength bytes.
inline void WriteHeader(void* out, uint32_t type, uint32_t bodyLength) {
    uint8_t* p = static_cast<uint8_t*>(out);
    PutBE32(p, type);
    PutBE32(p + 4, bodyLength);
}

struct PackageView {
    uint32_t type = 0;
    uint32_t declaredLength = 0;  // the header's body length
    const uint8_t* body = nullptr;
    size_t bodyLength = 0;  // frame length - 8
};

enum class HeaderCheck {
    kOk,
    kTooShort,        // fewer than 8 bytes: not a package
    kLengthMismatch,  // header length differs from frame length - 8
};

// Splits one received frame into header and body; the frame must hold exactly one package.
inline HeaderCheck ReadPackage(const void* frame, size_t length, PackageView* view) {
    if (frame == nullptr || length < kHeaderSize) return HeaderCheck::kTooShort;
    const uint8_t* p = static_cast<const uint8_t*>(frame);
    view->type = GetBE32(p);
    view->declaredLength = GetBE32(p + 4);
    view->body = p + kHeaderSize;
    view->bodyLength = length - kHeaderSize;
    if (static_cast<size_t>(view->declaredLength) != view->bodyLength) return HeaderCheck::kLengthMismatch;
    return HeaderCheck::kOk;
}

// The two 64-bit values in front of a video frame, copied without byte swapping.
inline void ReadVideoPrefix(const uint8_t* body, uint64_t* first, uint64_t* second) {
    std::memcpy(first, body, sizeof(uint64_t));
    std::memcpy(second, body + sizeof(uint64_t), sizeof(uint64_t));
}

}  // namespace wire
}  // namespace relay_port
