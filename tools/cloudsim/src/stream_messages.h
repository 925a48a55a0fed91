#pragma once
// Packages the cloud side of the stream link sends: the 8-byte header and a
// FlatBuffers body of the shared message schema, or a raw media body.
#include <cstdint>
#include <string>
#include <vector>

namespace cloudsim {
namespace out {

std::string AuthResult(int32_t code, const std::string& msg, const std::string& hubVersion, const std::string& codecs);
struct PlayValues {
    uint32_t videoCodec = 264;
    uint32_t bitrate = 0;
    uint32_t fps = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t audioCodec = 1;
    uint32_t sampleRate = 48000;
    uint32_t channels = 2;
};
std::string PlayResult(int32_t code, const std::string& msg, const PlayValues& values);
std::string Error(int32_t code, const std::string& msg);
// 1007 answer result, 1009 candidate result, 2005 play-control result.
std::string CodeMsgResult(uint32_t type, int32_t code, const std::string& msg);
std::string OfferResult(int32_t code, const std::string& msg);
std::string VideoParamResult(int32_t code, const std::string& msg, uint32_t fps, uint32_t bitrate, uint32_t width,
                             uint32_t height);
std::string MsgTransResponse(uint32_t code, const std::string& service, const std::string& msg);
std::string DelayEcho(int64_t probeTime, const std::string& sessionId);
std::string SetRotationResult(int32_t code);
std::string ScreenOut(uint32_t rotation, uint32_t fps, uint32_t bitrate, uint32_t width, uint32_t height);
std::string CopyOut(const std::string& text);
std::string Cursor(uint32_t state);
std::string MicOut(uint32_t type, uint32_t status, uint32_t samples);
std::string CameraOut(uint32_t type, uint32_t status, uint16_t width, uint16_t height);

// Bit 0 of a video frame's second prefix value: the frame is a key frame.
constexpr uint64_t kVideoFlagKeyFrame = 1;
// 4009: prefix (presentation time in ms since 1970, frame flags; host byte order), then the access unit.
std::string VideoFrame(uint64_t ptsMs, uint64_t flags, const std::vector<uint8_t>& accessUnit);
// 4010: one Opus packet.
std::string AudioFrame(const std::vector<uint8_t>& packet);

// Broken packages for fault scripts: a frame shorter than a header, a header
// whose length disagrees, an unknown type, a table body that fails
// verification, a video frame shorter than its prefix, a 1-byte audio frame.
std::vector<std::string> MalformedSet();

}  // namespace out
}  // namespace cloudsim
