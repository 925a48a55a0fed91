#include "relay_port/message_builder.h"

#include <cstring>

#include <flatbuffers/flatbuffers.h>

#include "relay_port/relay_messages_generated.h"
#include "relay_port/wire_format.h"

namespace relay_port {
namespace wire {
namespace {

constexpr size_t kInitialBuilderSize = 1024;

Package Frame(uint32_t type, const void* body, size_t length) {
    Package out(kHeaderSize + length);
    WriteHeader(out.data(), type, static_cast<uint32_t>(length));
    if (length > 0) std::memcpy(out.data() + kHeaderSize, body, length);
    return out;
}

template <class T>
Package Finish(uint32_t type, flatbuffers::FlatBufferBuilder& fbb, flatbuffers::Offset<T> root) {
    fbb.Finish(root);
    return Frame(type, fbb.GetBufferPointer(), fbb.GetSize());
}

flatbuffers::Offset<flatbuffers::String> OptString(flatbuffers::FlatBufferBuilder& fbb, const char* text) {
    return text ? fbb.CreateString(text) : flatbuffers::Offset<flatbuffers::String>();
}

// Fixed-size record fields are bounded even when a caller forgot the NUL.
flatbuffers::Offset<flatbuffers::String> FieldString(flatbuffers::FlatBufferBuilder& fbb, const char (&field)[256]) {
    return fbb.CreateString(field, strnlen(field, sizeof(field)));
}

}  // namespace

Package BuildAuthReq(const WsAuthParam& auth, int64_t timeMs) {
    flatbuffers::FlatBufferBuilder fbb(kInitialBuilderSize);
    auto session = FieldString(fbb, auth.sessionId);
    auto instance = FieldString(fbb, auth.instanceNo);
    auto version = FieldString(fbb, auth.version);
    auto extra = FieldString(fbb, auth.authExtra);
    return Finish(kAuthReq, fbb,
                  msg::CreateAuthReq(fbb, session, instance, version, auth.authType, auth.authArg, extra,
                                     auth.authMode, timeMs));
}

Package BuildPlayReq(const WsVideoParam& video, const WsAudioParam& audio, const std::string& sessionId,
                     int64_t timeMs) {
    flatbuffers::FlatBufferBuilder fbb(kInitialBuilderSize);
    auto text1 = FieldString(fbb, video.text1);
    auto text2 = FieldString(fbb, video.text2);
    auto session = fbb.CreateString(sessionId);
    return Finish(kPlayReq, fbb,
                  msg::CreatePlayReq(fbb, video.codec, video.bitrate, video.fps, video.width, video.height,
                                     audio.codec, audio.sampleRate, audio.channels, text1, text2, session,
                                     timeMs));
}

Package BuildOfferReq(const std::string& sessionId, int64_t timeMs) {
    flatbuffers::FlatBufferBuilder fbb(kInitialBuilderSize);
    auto sdp = fbb.CreateString("");
    auto session = fbb.CreateString(sessionId);
    return Finish(kOfferReq, fbb, msg::CreateOfferReq(fbb, sdp, session, timeMs));
}

Package BuildAnswerReq(const char* sdp, const std::string& sessionId, int64_t timeMs) {
    flatbuffers::FlatBufferBuilder fbb(kInitialBuilderSize);
    auto sdpText = OptString(fbb, sdp);
    auto session = fbb.CreateString(sessionId);
    return Finish(kAnswerReq, fbb, msg::CreateAnswerReq(fbb, sdpText, session, timeMs));
}

Package BuildCandidate(uint32_t mlineIndex, const char* mid, const char* candidate, const std::string& sessionId,
                       int64_t timeMs) {
    flatbuffers::FlatBufferBuilder fbb(kInitialBuilderSize);
    auto candidateText = OptString(fbb, candidate);
    auto midText = OptString(fbb, mid);
    auto session = fbb.CreateString(sessionId);
    return Finish(kCandidate, fbb,
                  msg::CreateCandidate(fbb, candidateText, midText, mlineIndex, 0, session, timeMs));
}

Package BuildSetVideoParamReq(uint32_t fps, uint32_t bitrate, uint32_t width, uint32_t height,
                              const std::string& sessionId, int64_t timeMs) {
    flatbuffers::FlatBufferBuilder fbb(kInitialBuilderSize);
    auto session = fbb.CreateString(sessionId);
    return Finish(kSetVideoParamReq, fbb,
                  msg::CreateSetVideoParamReq(fbb, fps, bitrate, width, height, session, timeMs));
}

Package BuildPlayControlReq(uint8_t first, uint8_t second, const std::string& sessionId, int64_t timeMs) {
    flatbuffers::FlatBufferBuilder fbb(kInitialBuilderSize);
    auto session = fbb.CreateString(sessionId);
    return Finish(kPlayControlReq, fbb, msg::CreatePlayControlReq(fbb, second, first, session, timeMs));
}

Package BuildMsgTransReq(const char* service, const char* msg, const std::string& sessionId, int64_t timeMs) {
    flatbuffers::FlatBufferBuilder fbb(kInitialBuilderSize);
    auto msgText = OptString(fbb, msg);
    auto serviceText = OptString(fbb, service);
    auto session = fbb.CreateString(sessionId);
    return Finish(kMsgTransReq, fbb, msg::CreateMsgTransReq(fbb, msgText, serviceText, session, timeMs));
}

Package BuildMsgTransRes(const char* msg, int code, const std::string& sessionId, int64_t timeMs) {
    flatbuffers::FlatBufferBuilder fbb(kInitialBuilderSize);
    auto service = fbb.CreateString("");
    auto msgText = OptString(fbb, msg);
    auto session = fbb.CreateString(sessionId);
    return Finish(kMsgTransRes, fbb,
                  msg::CreateMsgTransRes(fbb, static_cast<uint32_t>(code), service, msgText, session, timeMs));
}

Package BuildDelayReq(int64_t timeMs, const std::string& sessionId) {
    flatbuffers::FlatBufferBuilder fbb(kInitialBuilderSize);
    auto session = fbb.CreateString(sessionId);
    return Finish(kDelay, fbb, msg::CreateDelayReq(fbb, timeMs, session, timeMs));
}

Package BuildDelayReport(uint32_t delayMs, const std::string& sessionId, int64_t timeMs) {
    flatbuffers::FlatBufferBuilder fbb(kInitialBuilderSize);
    auto session = fbb.CreateString(sessionId);
    return Finish(kDelayReport, fbb, msg::CreateDelayReport(fbb, 0, 0, delayMs, session, timeMs));
}

Package BuildSetRotationReq(uint32_t a, uint32_t b, int64_t timeMs) {
    flatbuffers::FlatBufferBuilder fbb(kInitialBuilderSize);
    return Finish(kSetRotationReq, fbb, msg::CreateSetRotationReq(fbb, a, b, timeMs));
}

Package BuildInputModeReq(uint32_t mode, const std::string& sessionId, int64_t timeMs) {
    flatbuffers::FlatBufferBuilder fbb(kInitialBuilderSize);
    auto session = fbb.CreateString(sessionId);
    return Finish(kInputModeReq, fbb, msg::CreateInputModeReq(fbb, mode, session, timeMs));
}

Package BuildTextReq(uint32_t type, const char* text, size_t length) {
    flatbuffers::FlatBufferBuilder fbb(kInitialBuilderSize);
    auto textOffset = fbb.CreateString(text ? text : "", text ? length : 0);
    return Finish(type, fbb, msg::CreateTextReq(fbb, textOffset));
}

Package BuildKeyReq(uint8_t flag, uint8_t key) {
    flatbuffers::FlatBufferBuilder fbb(kInitialBuilderSize);
    return Finish(kKey, fbb, msg::CreateKeyReq(fbb, key, flag));
}

Package BuildTouchReq(uint8_t action, const uint32_t* xs, const uint32_t* ys, size_t count) {
    flatbuffers::FlatBufferBuilder fbb(kInitialBuilderSize);
    flatbuffers::Offset<flatbuffers::Vector<const msg::Point*>> points;
    if (count > 0 && xs && ys) {
        msg::Point* slots = nullptr;
        points = fbb.CreateUninitializedVectorOfStructs(count, &slots);
        for (size_t i = 0; i < count; ++i) slots[i] = msg::Point(xs[i], ys[i]);
    }
    return Finish(kTouch, fbb, msg::CreateTouchReq(fbb, action, points));
}

Package BuildSensorReq(uint32_t type, float x, float y, float z) {
    flatbuffers::FlatBufferBuilder fbb(kInitialBuilderSize);
    return Finish(kSensor, fbb, msg::CreateSensorReq(fbb, type, x, y, z));
}

Package BuildLocationReq(const float (&v)[8]) {
    flatbuffers::FlatBufferBuilder fbb(kInitialBuilderSize);
    return Finish(kLocation, fbb, msg::CreateLocationReq(fbb, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]));
}

Package BuildMicParamReq(uint32_t a, uint32_t b, uint32_t c) {
    flatbuffers::FlatBufferBuilder fbb(kInitialBuilderSize);
    return Finish(kMicParam, fbb, msg::CreateMicParamReq(fbb, a, b, c));
}

Package BuildCameraParamReq(uint32_t a, uint32_t b, uint32_t c, const void* blob, size_t blobLength) {
    flatbuffers::FlatBufferBuilder fbb(kInitialBuilderSize);
    flatbuffers::Offset<flatbuffers::Vector<uint8_t>> blobOffset;
    if (blob && blobLength > 0) blobOffset = fbb.CreateVector(static_cast<const uint8_t*>(blob), blobLength);
    return Finish(kCameraParam, fbb, msg::CreateCameraParamReq(fbb, a, b, c, blobOffset));
}

Package BuildRaw(uint32_t type, const void* data, size_t length) { return Frame(type, data, data ? length : 0); }

Package BuildDummy() { return Frame(kDummy, &kDummyByte, 1); }

}  // namespace wire
}  // namespace relay_port
