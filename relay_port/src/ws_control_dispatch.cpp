// Receiving: package checks and the dispatch of every server message.
#include "common/qv_log.h"
#include "relay_port/wire_format.h"
#include "ws_control.h"

namespace relay_port {

void CWSControl::DropInvalid(uint32_t type, size_t length) {
    QV_LOG(QV_LOG_WARN, "[RELAY_PORT]User[%s] drop invalid package type[%u] len[%zu]", m_user.c_str(),
           static_cast<unsigned>(type), length);
}

void CWSControl::OnWebSocketData(const char* data, size_t length, int frameKind, void*) {
    if (frameKind != net_engine::WS_FRAME_BINARY) {
        int shown = length > 4096 ? 4096 : static_cast<int>(length);
        QV_LOG(QV_LOG_WARN, "[RELAY_PORT]OnWSRecv Text :%.*s", shown, data ? data : "");
        // A close (from the peer, or the engine failing a cut frame) ends this
        // connection: renew it instead of waiting for the delay probe.
        if (frameKind == net_engine::WS_FRAME_CLOSE && m_ready) {
            QV_LOG(QV_LOG_WARN, "[RELAY_PORT]User[%s] websocket closed; reconnect ws", m_user.c_str());
            DisconnectAndReconnect();
        }
        return;
    }
    wire::PackageView package;
    switch (wire::ReadPackage(data, length, &package)) {
        case wire::HeaderCheck::kTooShort:
            return;
        case wire::HeaderCheck::kLengthMismatch:
            QV_LOG(QV_LOG_ERROR, "[RELAY_PORT]Get incomplete package header len[%u] package len[%zu]",
                   static_cast<unsigned>(package.declaredLength), package.bodyLength);
            return;
        case wire::HeaderCheck::kOk:
            break;
    }
    switch (package.type) {
        case wire::kAuthRes: return HandleAuthRes(package.body, package.bodyLength);
        case wire::kPlayRes: return HandlePlayRes(package.body, package.bodyLength);
        case wire::kError: return HandleError(package.body, package.bodyLength);
        case wire::kDelay: return HandleDelayEcho(package.body, package.bodyLength);
        case wire::kDelayReport: return;
        default: return Dispatch(package.type, package.body, package.bodyLength);
    }
}

void CWSControl::Dispatch(uint32_t type, const uint8_t* body, size_t length) {
    const char* user = m_user.c_str();
    IRelayPortNotic* notic = m_notic.get();
    switch (type) {
        case wire::kOfferRes: {
            wire::OfferResult m;
            if (!wire::ParseOfferResult(body, length, &m)) break;
            QV_LOG(QV_LOG_INFO, "[RELAY_PORT]User[%s], unpack_offer_res, code:[%d], offer:[%s]", user, m.code,
                   m.offer.c_str());
            if (notic) notic->OnOfferRes(m.code, m.msg.c_str(), m.offer.c_str());
            return;
        }
        case wire::kAnswerRes: {
            wire::CodeMsgResult m;
            if (!wire::ParseCodeMsgResult(body, length, &m)) break;
            QV_LOG(QV_LOG_INFO, "[RELAY_PORT]User[%s], unpack_answer_res, code:[%d], message:[%s]", user, m.code,
                   m.msg.c_str());
            if (notic) notic->OnAnswerRes(m.code, m.msg.c_str());
            return;
        }
        case wire::kCandidate: {
            wire::CandidateMsg m;
            if (!wire::ParseCandidate(body, length, &m)) break;
            QV_LOG(QV_LOG_INFO, "[RELAY_PORT]User[%s], unpack_candidate_req mlineindex:[%d] mid:[%s] candidate:[%s]",
                   user, static_cast<int>(m.mlineIndex), m.mid.c_str(), m.candidate.c_str());
            if (notic) notic->OnCandidateReq(static_cast<int>(m.mlineIndex), m.mid.c_str(), m.candidate.c_str());
            return;
        }
        case wire::kCandidateRes: {
            wire::CodeMsgResult m;
            if (!wire::ParseCodeMsgResult(body, length, &m)) break;
            QV_LOG(QV_LOG_INFO, "[RELAY_PORT]User[%s], unpack_candidate_res, code:[%d], message:[%s]", user, m.code,
                   m.msg.c_str());
            if (notic) notic->OnCandidateRes(m.code, m.msg.c_str());
            return;
        }
        case wire::kAppRes: {
            wire::AppResult m;
            if (!wire::ParseAppResult(body, length, &m)) break;
            QV_LOG(QV_LOG_INFO, "[RELAY_PORT]User[%s] unpack_app_res, code[%d], msg[%s] appName[%s]", user, m.code,
                   m.msg.c_str(), m.appName.c_str());
            return;
        }
        case wire::kVideoParamRes: {
            wire::VideoParamResult m;
            if (!wire::ParseVideoParamResult(body, length, &m)) break;
            QV_LOG(QV_LOG_INFO,
                   "[RELAY_PORT]User[%s] unpack_avconf_res, code[%d], msg[%s] fps[%d] bitrate[%d] width[%d] height[%d]",
                   user, m.code, m.msg.c_str(), static_cast<int>(m.fps), static_cast<int>(m.bitrate),
                   static_cast<int>(m.width), static_cast<int>(m.height));
            if (m.code == 0) {
                m_video.fps = static_cast<uint16_t>(m.fps);
                m_video.bitrate = m.bitrate;
                m_video.width = static_cast<uint16_t>(m.width);
                m_video.height = static_cast<uint16_t>(m.height);
            }
            if (notic)
                notic->OnAVConfRes(m.code, m.msg.c_str(), static_cast<int>(m.fps), static_cast<int>(m.bitrate),
                                   static_cast<int>(m.width), static_cast<int>(m.height));
            return;
        }
        case wire::kPlayControlRes: {
            wire::CodeMsgResult m;
            if (!wire::ParseCodeMsgResult(body, length, &m)) break;
            QV_LOG(QV_LOG_INFO, "[RELAY_PORT]User[%s] unpack_avplay_res, code[%d], msg[%s]", user, m.code,
                   m.msg.c_str());
            if (notic) notic->OnAVPlayRes(m.code, m.msg.c_str());
            return;
        }
        case wire::kMsgTransReq: {
            wire::MsgTransRequest m;
            if (!wire::ParseMsgTransRequest(body, length, &m)) break;
            QV_LOG(QV_LOG_INFO, "[RELAY_PORT]User[%s] unpack_msgtrans_req, service[%s], msg[%s]", user,
                   m.service.c_str(), m.msg.c_str());
            if (notic) notic->OnMsgTransReq(m.service.c_str(), m.msg.c_str());
            return;
        }
        case wire::kMsgTransRes: {
            wire::MsgTransResponse m;
            if (!wire::ParseMsgTransResponse(body, length, &m)) break;
            QV_LOG(QV_LOG_INFO, "[RELAY_PORT]User[%s] unpack_msgtrans_res, code[%d], service[%s], msg[%s]", user,
                   m.code, m.service.c_str(), m.msg.c_str());
            if (notic) notic->OnMsgTransRes(m.code, m.service.c_str(), m.msg.c_str());
            return;
        }
        case wire::kSetRotationRes: {
            wire::SetRotationResult m;
            if (!wire::ParseSetRotationResult(body, length, &m)) break;
            QV_LOG(QV_LOG_INFO, "[RELAY_PORT]User[%s] unpack_set_rotation_res, code[%d]", user, m.code);
            if (notic) notic->OnSetRotationRes(m.code);
            return;
        }
        case wire::kScreenOut: {
            wire::ScreenOutMsg m;
            if (!wire::ParseScreenOut(body, length, &m)) break;
            QV_LOG(QV_LOG_INFO,
                   "[RELAY_PORT]User[%s] unpack_out_screen, rotation[%d], fps[%d], bitrate[%d], width[%d], height[%d]",
                   user, static_cast<int>(m.rotation), static_cast<int>(m.fps), static_cast<int>(m.bitrate),
                   static_cast<int>(m.width), static_cast<int>(m.height));
            if (notic)
                notic->OnOutScreen(static_cast<int>(m.rotation), static_cast<int>(m.fps), static_cast<int>(m.bitrate),
                                   static_cast<int>(m.width), static_cast<int>(m.height));
            return;
        }
        case wire::kCopyOut: {
            wire::CopyOutMsg m;
            if (!wire::ParseCopyOut(body, length, &m)) break;
            QV_LOG(QV_LOG_INFO, "[RELAY_PORT]User[%s] unpack_out_copy, data[%s]", user, m.data.c_str());
            if (notic) notic->OnOutCopy(m.data.c_str());
            return;
        }
        case wire::kCloudNotify: {
            wire::CloudNotifyMsg m;
            if (!wire::ParseCloudNotify(body, length, &m)) break;
            QV_LOG(QV_LOG_INFO, "[RELAY_PORT]User[%s] unpack_out_cloud_notify, type[%d], msg[%s]", user,
                   static_cast<int>(m.type), m.msg.c_str());
            if (notic) notic->OnCloudNotify(static_cast<int>(m.type), m.msg.c_str());
            return;
        }
        case wire::kAppEvent: {
            wire::AppEventMsg m;
            if (!wire::ParseAppEvent(body, length, &m)) break;
            if (notic) notic->OnAppEvent(static_cast<int>(m.type), m.state != 0);
            return;
        }
        case wire::kSensorOut: {
            wire::SensorOutMsg m;
            if (!wire::ParseSensorOut(body, length, &m)) break;
            QV_LOG(QV_LOG_INFO, "[RELAY_PORT]User[%s] unpack_out_sensor, type[%d], status[%d]", user,
                   static_cast<int>(m.type), static_cast<int>(m.status));
            if (notic) notic->OnOutSensor(static_cast<int>(m.type), m.status != 0);
            return;
        }
        case wire::kMicOut: {
            wire::MicOutMsg m;
            if (!wire::ParseMicOut(body, length, &m)) break;
            QV_LOG(QV_LOG_INFO, "[RELAY_PORT]User[%s] unpack_out_mic, type[%d], status[%d], samples[%d]", user,
                   static_cast<int>(m.type), static_cast<int>(m.status), static_cast<int>(m.samples));
            if (notic) notic->OnOutMic(m.status != 0, static_cast<int>(m.samples));
            return;
        }
        case wire::kCameraOut: {
            wire::CameraOutMsg m;
            if (!wire::ParseCameraOut(body, length, &m)) break;
            QV_LOG(QV_LOG_INFO, "[RELAY_PORT]User[%s] unpack_out_camera, type[%d], status[%d], width[%d], height[%d]",
                   user, static_cast<int>(m.type), static_cast<int>(m.status), static_cast<int>(m.width),
                   static_cast<int>(m.height));
            if (notic) notic->OnOutCamera(static_cast<int>(m.type), m.status != 0, m.width, m.height);
            return;
        }
        case wire::kCursor: {
            wire::CursorMsg m;
            if (!wire::ParseCursor(body, length, &m)) break;
            QV_LOG(QV_LOG_INFO, "[RELAY_PORT]User[%s] unpack_cursor, state[%d]", user, static_cast<int>(m.state));
            if (notic) notic->OnCursor(m.state == 1);
            return;
        }
        case wire::kVideoFrame: {
            wire::VideoFrame frame;
            if (!wire::ParseVideoFrame(body, length, &frame)) break;
            if (notic) notic->OnVideoData(frame.first, frame.second, frame.data, frame.length);
            return;
        }
        case wire::kAudioFrame:
            if (length < wire::kMinAudioSize || length > UINT32_MAX) return;
            if (notic) notic->OnAudioData(body, static_cast<uint32_t>(length));
            return;
        default:
            QV_LOG(QV_LOG_ERROR, "[RELAY_PORT]unknow type:%d", static_cast<int>(type));
            return;
    }
    DropInvalid(type, length);
}

}  // namespace relay_port
