#include "stream_messages.h"

#include <cstring>

#include "record_store.h"
#include "relay_port/relay_messages_generated.h"
#include "relay_port/wire_format.h"

namespace cloudsim {
namespace out {
namespace {

namespace msg = relay_port::msg;
namespace wire = relay_port::wire;

std::string Package(uint32_t type, const uint8_t* body, size_t length) {
    std::string package(wire::kHeaderSize + length, '\0');
    wire::WriteHeader(&package[0], type, static_cast<uint32_t>(length));
    if (length > 0) std::memcpy(&package[wire::kHeaderSize], body, length);
    return package;
}

std::string Finish(uint32_t type, flatbuffers::FlatBufferBuilder& builder) {
    return Package(type, builder.GetBufferPointer(), builder.GetSize());
}

}  // namespace

std::string AuthResult(int32_t code, const std::string& text, const std::string& hubVersion,
                       const std::string& codecs) {
    flatbuffers::FlatBufferBuilder b(1024);
    b.Finish(msg::CreateAuthResDirect(b, code, text.c_str(), "", "", hubVersion.c_str(), codecs.c_str(), NowMs()));
    return Finish(wire::kAuthRes, b);
}

std::string PlayResult(int32_t code, const std::string& text, const PlayValues& v) {
    flatbuffers::FlatBufferBuilder b(1024);
    b.Finish(msg::CreatePlayResDirect(b, code, text.c_str(), v.videoCodec, v.bitrate, v.fps, v.width, v.height,
                                      v.audioCodec, v.sampleRate, v.channels, "", NowMs()));
    return Finish(wire::kPlayRes, b);
}

std::string Error(int32_t code, const std::string& text) {
    flatbuffers::FlatBufferBuilder b(1024);
    b.Finish(msg::CreateErrorDirect(b, code, text.c_str()));
    return Finish(wire::kError, b);
}

std::string CodeMsgResult(uint32_t type, int32_t code, const std::string& text) {
    flatbuffers::FlatBufferBuilder b(1024);
    b.Finish(msg::CreateCodeMsgResDirect(b, code, 0, text.c_str(), NowMs()));
    return Finish(type, b);
}

std::string OfferResult(int32_t code, const std::string& text) {
    flatbuffers::FlatBufferBuilder b(1024);
    b.Finish(msg::CreateOfferResDirect(b, code, 0, text.c_str(), "", NowMs()));
    return Finish(wire::kOfferRes, b);
}

std::string VideoParamResult(int32_t code, const std::string& text, uint32_t fps, uint32_t bitrate, uint32_t width,
                             uint32_t height) {
    flatbuffers::FlatBufferBuilder b(1024);
    b.Finish(msg::CreateVideoParamResDirect(b, code, 0, fps, bitrate, width, height, text.c_str(), NowMs()));
    return Finish(wire::kVideoParamRes, b);
}

std::string MsgTransResponse(uint32_t code, const std::string& service, const std::string& text) {
    flatbuffers::FlatBufferBuilder b(1024);
    b.Finish(msg::CreateMsgTransResDirect(b, code, service.c_str(), text.c_str(), "", NowMs()));
    return Finish(wire::kMsgTransRes, b);
}

std::string DelayEcho(int64_t probeTime, const std::string& sessionId) {
    flatbuffers::FlatBufferBuilder b(1024);
    b.Finish(msg::CreateDelayReqDirect(b, probeTime, sessionId.c_str(), probeTime));
    return Finish(wire::kDelay, b);
}

std::string SetRotationResult(int32_t code) {
    flatbuffers::FlatBufferBuilder b(1024);
    b.Finish(msg::CreateSetRotationRes(b, code, NowMs()));
    return Finish(wire::kSetRotationRes, b);
}

std::string ScreenOut(uint32_t rotation, uint32_t fps, uint32_t bitrate, uint32_t width, uint32_t height) {
    flatbuffers::FlatBufferBuilder b(1024);
    b.Finish(msg::CreateScreenOut(b, rotation, fps, bitrate, width, height));
    return Finish(wire::kScreenOut, b);
}

std::string CopyOut(const std::string& text) {
    flatbuffers::FlatBufferBuilder b(1024);
    b.Finish(msg::CreateCopyOutDirect(b, text.c_str()));
    return Finish(wire::kCopyOut, b);
}

std::string Cursor(uint32_t state) {
    flatbuffers::FlatBufferBuilder b(1024);
    b.Finish(msg::CreateCursor(b, state));
    return Finish(wire::kCursor, b);
}

std::string MicOut(uint32_t type, uint32_t status, uint32_t samples) {
    flatbuffers::FlatBufferBuilder b(1024);
    b.Finish(msg::CreateMicOut(b, type, status, samples));
    return Finish(wire::kMicOut, b);
}

std::string CameraOut(uint32_t type, uint32_t status, uint16_t width, uint16_t height) {
    flatbuffers::FlatBufferBuilder b(1024);
    b.Finish(msg::CreateCameraOut(b, type, status, width, height));
    return Finish(wire::kCameraOut, b);
}

std::string VideoFrame(uint64_t ptsMs, uint64_t flags, const std::vector<uint8_t>& accessUnit) {
    std::string body(wire::kVideoPrefixSize + accessUnit.size(), '\0');
    std::memcpy(&body[0], &ptsMs, sizeof(ptsMs));
    std::memcpy(&body[sizeof(ptsMs)], &flags, sizeof(flags));
    if (!accessUnit.empty()) std::memcpy(&body[wire::kVideoPrefixSize], accessUnit.data(), accessUnit.size());
    return Package(wire::kVideoFrame, reinterpret_cast<const uint8_t*>(body.data()), body.size());
}

std::string AudioFrame(const std::vector<uint8_t>& packet) {
    return Package(wire::kAudioFrame, packet.data(), packet.size());
}

std::vector<std::string> MalformedSet() {
    std::vector<std::string> set;
    set.push_back(std::string("\x00\x00\x0F", 3));
    std::string lying = Cursor(1);
    wire::WriteHeader(&lying[0], wire::kCursor, static_cast<uint32_t>(lying.size()));  // claims 8 bytes too many
    set.push_back(lying);
    const uint8_t junk[4] = {1, 2, 3, 4};
    set.push_back(Package(4999, junk, sizeof(junk)));
    const uint8_t badTable[12] = {0xFF, 0xFF, 0xFF, 0x7F, 0, 0, 0, 0, 0, 0, 0, 0};
    set.push_back(Package(wire::kScreenOut, badTable, sizeof(badTable)));
    set.push_back(Package(wire::kCopyOut, nullptr, 0));
    const uint8_t shortPrefix[8] = {0};
    set.push_back(Package(wire::kVideoFrame, shortPrefix, sizeof(shortPrefix)));
    set.push_back(Package(wire::kAudioFrame, junk, 1));
    return set;
}

}  // namespace out
}  // namespace cloudsim
