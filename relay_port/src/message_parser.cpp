#include "relay_port/message_parser.h"

#include <cstring>
#include <vector>

#include <flatbuffers/flatbuffers.h>

#include "relay_port/relay_messages_generated.h"
#include "relay_port/wire_format.h"

namespace relay_port {
namespace wire {
namespace {

std::string Str(const flatbuffers::String* s) { return s ? s->str() : std::string(); }

// Verifies the body as a T and hands the root to read. FlatBuffers reads
// scalars in place, so a body that is not 8-byte aligned is copied first.
template <class T, class Read>
bool ParseTable(const void* body, size_t length, Read read) {
    if (body == nullptr || length == 0 || length >= FLATBUFFERS_MAX_BUFFER_SIZE) return false;
    const uint8_t* bytes = static_cast<const uint8_t*>(body);
    std::vector<uint64_t> aligned;
    if (reinterpret_cast<uintptr_t>(bytes) % alignof(uint64_t) != 0) {
        aligned.resize((length + sizeof(uint64_t) - 1) / sizeof(uint64_t));
        std::memcpy(aligned.data(), bytes, length);
        bytes = reinterpret_cast<const uint8_t*>(aligned.data());
    }
    flatbuffers::Verifier verifier(bytes, length);
    if (!verifier.VerifyBuffer<T>(nullptr)) return false;
    read(*flatbuffers::GetRoot<T>(bytes));
    return true;
}

}  // namespace

bool ParseAuthResult(const void* body, size_t length, AuthResult* out) {
    return ParseTable<msg::AuthRes>(body, length, [out](const msg::AuthRes& t) {
        out->code = t.code();
        out->msg = Str(t.msg());
        out->info1 = Str(t.info1());
        out->info2 = Str(t.info2());
        out->hubVersion = Str(t.hub_version());
        out->codecs = Str(t.codecs());
        out->time = t.time();
    });
}

bool ParsePlayResult(const void* body, size_t length, PlayResult* out) {
    return ParseTable<msg::PlayRes>(body, length, [out](const msg::PlayRes& t) {
        out->code = t.code();
        out->msg = Str(t.msg());
        out->videoCodec = t.video_codec();
        out->bitrate = t.bitrate();
        out->fps = t.fps();
        out->width = t.width();
        out->height = t.height();
        out->audioCodec = t.audio_codec();
        out->sampleRate = t.sample_rate();
        out->channels = t.channels();
        out->text = Str(t.text());
        out->time = t.time();
    });
}

bool ParseOfferResult(const void* body, size_t length, OfferResult* out) {
    return ParseTable<msg::OfferRes>(body, length, [out](const msg::OfferRes& t) {
        out->code = t.code();
        out->msg = Str(t.msg());
        out->offer = Str(t.offer());
        out->time = t.time();
    });
}

bool ParseCodeMsgResult(const void* body, size_t length, CodeMsgResult* out) {
    return ParseTable<msg::CodeMsgRes>(body, length, [out](const msg::CodeMsgRes& t) {
        out->code = t.code();
        out->msg = Str(t.msg());
        out->time = t.time();
    });
}

bool ParseCandidate(const void* body, size_t length, CandidateMsg* out) {
    return ParseTable<msg::Candidate>(body, length, [out](const msg::Candidate& t) {
        out->candidate = Str(t.candidate());
        out->mid = Str(t.mid());
        out->mlineIndex = t.mline_index();
        out->sessionId = Str(t.session_id());
        out->time = t.time();
    });
}

bool ParseError(const void* body, size_t length, ErrorMsg* out) {
    return ParseTable<msg::Error>(body, length, [out](const msg::Error& t) {
        out->code = t.code();
        out->msg = Str(t.msg());
    });
}

bool ParseAppResult(const void* body, size_t length, AppResult* out) {
    return ParseTable<msg::AppRes>(body, length, [out](const msg::AppRes& t) {
        out->code = t.code();
        out->msg = Str(t.msg());
        out->appName = Str(t.app_name());
    });
}

bool ParseVideoParamResult(const void* body, size_t length, VideoParamResult* out) {
    return ParseTable<msg::VideoParamRes>(body, length, [out](const msg::VideoParamRes& t) {
        out->code = t.code();
        out->fps = t.fps();
        out->bitrate = t.bitrate();
        out->width = t.width();
        out->height = t.height();
        out->msg = Str(t.msg());
        out->time = t.time();
    });
}

bool ParseMsgTransRequest(const void* body, size_t length, MsgTransRequest* out) {
    return ParseTable<msg::MsgTransReq>(body, length, [out](const msg::MsgTransReq& t) {
        out->msg = Str(t.msg());
        out->service = Str(t.service());
        out->sessionId = Str(t.session_id());
        out->time = t.time();
    });
}

bool ParseMsgTransResponse(const void* body, size_t length, MsgTransResponse* out) {
    return ParseTable<msg::MsgTransRes>(body, length, [out](const msg::MsgTransRes& t) {
        out->code = static_cast<int32_t>(t.code());
        out->service = Str(t.service());
        out->msg = Str(t.msg());
        out->sessionId = Str(t.session_id());
        out->time = t.time();
    });
}

bool ParseDelayEcho(const void* body, size_t length, DelayEcho* out) {
    return ParseTable<msg::DelayReq>(body, length, [out](const msg::DelayReq& t) { out->time = t.time(); });
}

bool ParseSetRotationResult(const void* body, size_t length, SetRotationResult* out) {
    return ParseTable<msg::SetRotationRes>(body, length, [out](const msg::SetRotationRes& t) {
        out->code = t.code();
        out->time = t.time();
    });
}

bool ParseScreenOut(const void* body, size_t length, ScreenOutMsg* out) {
    return ParseTable<msg::ScreenOut>(body, length, [out](const msg::ScreenOut& t) {
        out->rotation = t.rotation();
        out->fps = t.fps();
        out->bitrate = t.bitrate();
        out->width = t.width();
        out->height = t.height();
    });
}

bool ParseCopyOut(const void* body, size_t length, CopyOutMsg* out) {
    return ParseTable<msg::CopyOut>(body, length, [out](const msg::CopyOut& t) { out->data = Str(t.data()); });
}

bool ParseCloudNotify(const void* body, size_t length, CloudNotifyMsg* out) {
    return ParseTable<msg::CloudNotify>(body, length, [out](const msg::CloudNotify& t) {
        out->type = t.type();
        out->msg = Str(t.msg());
    });
}

bool ParseAppEvent(const void* body, size_t length, AppEventMsg* out) {
    return ParseTable<msg::AppEvent>(body, length, [out](const msg::AppEvent& t) {
        out->type = t.type();
        out->state = t.state();
    });
}

bool ParseSensorOut(const void* body, size_t length, SensorOutMsg* out) {
    return ParseTable<msg::SensorOut>(body, length, [out](const msg::SensorOut& t) {
        out->type = t.type();
        out->status = t.status();
    });
}

bool ParseMicOut(const void* body, size_t length, MicOutMsg* out) {
    return ParseTable<msg::MicOut>(body, length, [out](const msg::MicOut& t) {
        out->type = t.type();
        out->status = t.status();
        out->samples = t.samples();
    });
}

bool ParseCameraOut(const void* body, size_t length, CameraOutMsg* out) {
    return ParseTable<msg::CameraOut>(body, length, [out](const msg::CameraOut& t) {
        out->type = t.type();
        out->status = t.status();
        out->width = t.width();
        out->height = t.height();
    });
}

bool ParseCursor(const void* body, size_t length, CursorMsg* out) {
    return ParseTable<msg::Cursor>(body, length, [out](const msg::Cursor& t) { out->state = t.state(); });
}

bool ParseVideoFrame(const void* body, size_t length, VideoFrame* out) {
    if (body == nullptr || length < kVideoPrefixSize || length - kVideoPrefixSize > UINT32_MAX) return false;
    const uint8_t* bytes = static_cast<const uint8_t*>(body);
    ReadVideoPrefix(bytes, &out->first, &out->second);
    out->data = bytes + kVideoPrefixSize;
    out->length = static_cast<uint32_t>(length - kVideoPrefixSize);
    return true;
}

}  // namespace wire
}  // namespace relay_port
