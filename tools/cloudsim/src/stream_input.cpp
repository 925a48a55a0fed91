#include "stream_input.h"

#include "relay_port/relay_messages_generated.h"
#include "relay_port/wire_format.h"

namespace cloudsim {
namespace {

namespace msg = relay_port::msg;
namespace wire = relay_port::wire;

std::string Text(const flatbuffers::String* text) {
    if (text == nullptr) return "";
    return std::string(text->data(), text->size());
}

Json::Value Recorded(const std::string& text) {
    return Json::Value(text.size() > kMaxRecordedText ? text.substr(0, kMaxRecordedText) : text);
}

Json::Value Time(int64_t value) { return Json::Value(static_cast<Json::Int64>(value)); }

template <typename T>
const T* Verified(const uint8_t* body, size_t length) {
    flatbuffers::Verifier verifier(body, length);
    if (!verifier.VerifyBuffer<T>(nullptr)) return nullptr;
    return flatbuffers::GetRoot<T>(body);
}

#define CLOUDSIM_READ(Type, var)                                      \
    const msg::Type* var = Verified<msg::Type>(body, length);         \
    if (var == nullptr) return std::string(#Type " body fails verification")

std::string DecodeConnection(uint32_t type, const uint8_t* body, size_t length, ClientMessage& out) {
    Json::Value& f = out.fields;
    switch (type) {
        case wire::kAuthReq: {
            CLOUDSIM_READ(AuthReq, m);
            out.kind = "auth";
            f["sessionId"] = Text(m->session_id());
            f["instanceNo"] = Text(m->instance_no());
            f["version"] = Text(m->version());
            f["authType"] = m->auth_type();
            f["authArg"] = m->auth_arg();
            f["authExtra"] = Text(m->auth_extra());
            f["authMode"] = m->auth_mode();
            f["time"] = Time(m->time());
            return "";
        }
        case wire::kPlayReq: {
            CLOUDSIM_READ(PlayReq, m);
            out.kind = "play";
            f["videoCodec"] = m->video_codec();
            f["videoBitrate"] = m->video_bitrate();
            f["fps"] = m->fps();
            f["width"] = m->width();
            f["height"] = m->height();
            f["audioCodec"] = m->audio_codec();
            f["sampleRate"] = m->sample_rate();
            f["channels"] = m->channels();
            f["text1"] = Text(m->text1());
            f["text2"] = Text(m->text2());
            f["sessionId"] = Text(m->session_id());
            f["time"] = Time(m->time());
            return "";
        }
        case wire::kOfferReq: {
            CLOUDSIM_READ(OfferReq, m);
            out.kind = "offer";
            f["sdp"] = Recorded(Text(m->sdp()));
            f["sessionId"] = Text(m->session_id());
            return "";
        }
        case wire::kAnswerReq: {
            CLOUDSIM_READ(AnswerReq, m);
            out.kind = "answer";
            f["sdp"] = Recorded(Text(m->sdp()));
            f["sessionId"] = Text(m->session_id());
            return "";
        }
        case wire::kCandidate: {
            CLOUDSIM_READ(Candidate, m);
            out.kind = "candidate";
            f["candidate"] = Recorded(Text(m->candidate()));
            f["mid"] = Text(m->mid());
            f["mlineIndex"] = m->mline_index();
            f["sessionId"] = Text(m->session_id());
            return "";
        }
        case wire::kDelay: {
            CLOUDSIM_READ(DelayReq, m);
            out.kind = "delayProbe";
            f["time"] = Time(m->time());
            f["sessionId"] = Text(m->session_id());
            f["timeAgain"] = Time(m->time_again());
            return "";
        }
        case wire::kDelayReport: {
            CLOUDSIM_READ(DelayReport, m);
            out.kind = "delayReport";
            f["delayMs"] = m->delay_ms();
            f["sessionId"] = Text(m->session_id());
            return "";
        }
        default:
            return "?";
    }
}

std::string DecodeControl(uint32_t type, const uint8_t* body, size_t length, ClientMessage& out) {
    Json::Value& f = out.fields;
    switch (type) {
        case wire::kSetVideoParamReq: {
            CLOUDSIM_READ(SetVideoParamReq, m);
            out.kind = "setVideoParam";
            f["fps"] = m->fps();
            f["bitrate"] = m->bitrate();
            f["width"] = m->width();
            f["height"] = m->height();
            f["sessionId"] = Text(m->session_id());
            return "";
        }
        case wire::kPlayControlReq: {
            CLOUDSIM_READ(PlayControlReq, m);
            out.kind = "playControl";
            f["first"] = m->first();
            f["second"] = m->second();
            f["sessionId"] = Text(m->session_id());
            return "";
        }
        case wire::kMsgTransReq: {
            CLOUDSIM_READ(MsgTransReq, m);
            out.kind = "msgTransReq";
            f["msg"] = Recorded(Text(m->msg()));
            f["service"] = Text(m->service());
            f["sessionId"] = Text(m->session_id());
            return "";
        }
        case wire::kMsgTransRes: {
            CLOUDSIM_READ(MsgTransRes, m);
            out.kind = "msgTransRes";
            f["code"] = m->code();
            f["service"] = Text(m->service());
            f["msg"] = Recorded(Text(m->msg()));
            f["sessionId"] = Text(m->session_id());
            return "";
        }
        case wire::kSetRotationReq: {
            CLOUDSIM_READ(SetRotationReq, m);
            out.kind = "setRotation";
            f["a"] = m->a();
            f["b"] = m->b();
            return "";
        }
        case wire::kInputModeReq: {
            CLOUDSIM_READ(InputModeReq, m);
            out.kind = "inputMode";
            f["mode"] = m->mode();
            f["sessionId"] = Text(m->session_id());
            return "";
        }
        default:
            return "?";
    }
}

std::string DecodeInput(uint32_t type, const uint8_t* body, size_t length, ClientMessage& out) {
    Json::Value& f = out.fields;
    switch (type) {
        case wire::kInputString:
        case wire::kCopyString: {
            CLOUDSIM_READ(TextReq, m);
            out.kind = type == wire::kInputString ? "inputString" : "copyString";
            const std::string text = Text(m->text());
            f["text"] = Recorded(text);
            f["length"] = static_cast<Json::UInt64>(text.size());
            return "";
        }
        case wire::kKey: {
            CLOUDSIM_READ(KeyReq, m);
            out.kind = "key";
            f["key"] = m->key();
            f["flag"] = m->flag();
            f["down"] = m->flag() != 0;
            return "";
        }
        case wire::kTouch: {
            CLOUDSIM_READ(TouchReq, m);
            out.kind = "touch";
            f["action"] = m->action();
            f["points"] = Json::Value(Json::arrayValue);
            if (m->points() != nullptr) {
                for (const msg::Point* p : *m->points()) {
                    Json::Value point(Json::arrayValue);
                    point.append(static_cast<int32_t>(p->x()));  // (-1, -1) arrives as all ones
                    point.append(static_cast<int32_t>(p->y()));
                    f["points"].append(point);
                }
            }
            return "";
        }
        case wire::kSensor: {
            CLOUDSIM_READ(SensorReq, m);
            out.kind = "sensor";
            f["sensorType"] = m->type();
            f["x"] = m->x();
            f["y"] = m->y();
            f["z"] = m->z();
            return "";
        }
        case wire::kLocation: {
            CLOUDSIM_READ(LocationReq, m);
            out.kind = "location";
            const float values[8] = {m->p1(), m->p2(), m->p3(), m->p4(), m->p5(), m->p6(), m->p7(), m->p8()};
            f["values"] = Json::Value(Json::arrayValue);
            for (float v : values) f["values"].append(v);
            return "";
        }
        case wire::kMicParam: {
            CLOUDSIM_READ(MicParamReq, m);
            out.kind = "micParam";
            f["a"] = m->a();
            f["b"] = m->b();
            f["c"] = m->c();
            return "";
        }
        case wire::kCameraParam: {
            CLOUDSIM_READ(CameraParamReq, m);
            out.kind = "cameraParam";
            f["a"] = m->a();
            f["b"] = m->b();
            f["c"] = m->c();
            f["blobLength"] = m->blob() != nullptr ? m->blob()->size() : 0u;
            return "";
        }
        default:
            return "?";
    }
}

}  // namespace

std::string DecodeClientMessage(uint32_t type, const uint8_t* body, size_t length, ClientMessage& out) {
    out = ClientMessage();
    out.type = type;
    out.fields = Json::Value(Json::objectValue);
    switch (type) {
        case wire::kMicData:
        case wire::kCameraData:
            out.kind = type == wire::kMicData ? "micData" : "cameraData";
            out.fields["length"] = static_cast<Json::UInt64>(length);
            return "";
        case wire::kDummy:
            out.kind = "dummy";
            out.fields["length"] = static_cast<Json::UInt64>(length);
            if (length != 1 || body[0] != static_cast<uint8_t>(wire::kDummyByte)) {
                return "dummy body is not the single byte \"1\"";
            }
            return "";
        default:
            break;
    }
    std::string error = DecodeConnection(type, body, length, out);
    if (error == "?") error = DecodeControl(type, body, length, out);
    if (error == "?") error = DecodeInput(type, body, length, out);
    if (error == "?") {
        out.kind = "unknown";
        out.fields["length"] = static_cast<Json::UInt64>(length);
        return "unknown package type " + std::to_string(type);
    }
    return error;
}

}  // namespace cloudsim
