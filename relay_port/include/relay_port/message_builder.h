#pragma once
// Builders of every client package of the stream link: each returns one
// contiguous block, the 8-byte package header followed by the body. Times are
// milliseconds since 1970 and are taken by the caller.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "relay_port/relay_port.h"

namespace relay_port {
namespace wire {

using Package = std::vector<char>;

// Texts given as null pointers are left off the wire; sessionId is always written.
RELAY_PORT_API Package BuildAuthReq(const WsAuthParam& auth, int64_t timeMs);
RELAY_PORT_API Package BuildPlayReq(const WsVideoParam& video, const WsAudioParam& audio,
                                    const std::string& sessionId, int64_t timeMs);
RELAY_PORT_API Package BuildOfferReq(const std::string& sessionId, int64_t timeMs);
RELAY_PORT_API Package BuildAnswerReq(const char* sdp, const std::string& sessionId, int64_t timeMs);
RELAY_PORT_API Package BuildCandidate(uint32_t mlineIndex, const char* mid, const char* candidate,
                                      const std::string& sessionId, int64_t timeMs);
RELAY_PORT_API Package BuildSetVideoParamReq(uint32_t fps, uint32_t bitrate, uint32_t width, uint32_t height,
                                             const std::string& sessionId, int64_t timeMs);
RELAY_PORT_API Package BuildPlayControlReq(uint8_t first, uint8_t second, const std::string& sessionId,
                                           int64_t timeMs);
RELAY_PORT_API Package BuildMsgTransReq(const char* service, const char* msg, const std::string& sessionId,
                                        int64_t timeMs);
RELAY_PORT_API Package BuildMsgTransRes(const char* msg, int code, const std::string& sessionId, int64_t timeMs);
RELAY_PORT_API Package BuildDelayReq(int64_t timeMs, const std::string& sessionId);
RELAY_PORT_API Package BuildDelayReport(uint32_t delayMs, const std::string& sessionId, int64_t timeMs);
RELAY_PORT_API Package BuildSetRotationReq(uint32_t a, uint32_t b, int64_t timeMs);
RELAY_PORT_API Package BuildInputModeReq(uint32_t mode, const std::string& sessionId, int64_t timeMs);
// type is kInputString (3000) or kCopyString (3002).
RELAY_PORT_API Package BuildTextReq(uint32_t type, const char* text, size_t length);
RELAY_PORT_API Package BuildKeyReq(uint8_t flag, uint8_t key);
// count points of xs/ys (the caller applies the limit of 8); no vector when count is 0.
RELAY_PORT_API Package BuildTouchReq(uint8_t action, const uint32_t* xs, const uint32_t* ys, size_t count);
RELAY_PORT_API Package BuildSensorReq(uint32_t type, float x, float y, float z);
RELAY_PORT_API Package BuildLocationReq(const float (&values)[8]);
RELAY_PORT_API Package BuildMicParamReq(uint32_t a, uint32_t b, uint32_t c);
RELAY_PORT_API Package BuildCameraParamReq(uint32_t a, uint32_t b, uint32_t c, const void* blob,
                                           size_t blobLength);
// Raw packages: 3011 microphone data, 3013 camera data (the bytes unchanged).
RELAY_PORT_API Package BuildRaw(uint32_t type, const void* data, size_t length);
// 3999: exactly 00 00 0F 9F 00 00 00 01 31.
RELAY_PORT_API Package BuildDummy();

}  // namespace wire
}  // namespace relay_port
