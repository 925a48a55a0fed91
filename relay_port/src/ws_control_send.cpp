// Every sending operation: the ready precondition, the checks and limits,
// and the hand-over of one package to the WebSocket handle.
#include <cstring>

#include "common/qv_log.h"
#include "relay_port/wire_format.h"
#include "relay_port_params.h"
#include "ws_control.h"

namespace relay_port {

#define WS_CONTROL_NAME(op) "relay_port::CWSControl::" op

bool CWSControl::CanSend(const char* fullName) {
    if (m_state != 2 || !m_ready) {
        QV_LOG(QV_LOG_ERROR, "[RELAY_PORT]%s failed: websocket is not ready", fullName);
        return false;
    }
    return true;
}

int CWSControl::Send(wire::Package&& package) {
    HandlePtr handle;
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        handle = m_handle;
    }
    auto data = std::make_shared<std::vector<char>>(std::move(package));
    size_t sent = 0;
    int rc = handle ? handle->SendWebSocket(data, net_engine::WS_FRAME_BINARY, &sent) : -1;
    if (rc != 0 || sent != data->size()) {
        QV_LOG(QV_LOG_ERROR, "[RELAY_PORT]send data failed[%zu:%zu]", data->size(), sent);
        return -1;
    }
    return 0;
}

int CWSControl::SendInKeyReq(uint8_t flag, uint8_t key) {
    if (!CanSend(WS_CONTROL_NAME("SendInKeyReq"))) return -1;
    return Send(wire::BuildKeyReq(flag, key));
}

int CWSControl::SendInTouchReq(uint32_t action, const uint32_t* xs, const uint32_t* ys, int count) {
    if (!CanSend(WS_CONTROL_NAME("SendInTouchReq"))) return -1;
    if (count > kMaxTouchPoints) count = kMaxTouchPoints;
    if (count < 1) {
        if (action == kTouchDown || action == kTouchMove) return -1;
        count = 0;
    } else if (!xs || !ys) {
        return -1;
    }
    if (action == kTouchMove) {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        int64_t now = SteadyMs();
        if (m_lastMoveMs != 0 && now - m_lastMoveMs < kMoveThrottleMs) return 0;
        m_lastMoveMs = now;
    }
    return Send(wire::BuildTouchReq(static_cast<uint8_t>(action), xs, ys, static_cast<size_t>(count)));
}

int CWSControl::SendInLocationReq(float p1, float p2, float p3, float p4, float p5, float p6, float p7, float p8) {
    if (!CanSend(WS_CONTROL_NAME("SendInLocationReq"))) return -1;
    const float values[8] = {p1, p2, p3, p4, p5, p6, p7, p8};
    return Send(wire::BuildLocationReq(values));
}

int CWSControl::SendInSensorReq(uint32_t type, float x, float y, float z) {
    if (!CanSend(WS_CONTROL_NAME("SendInSensorReq"))) return -1;
    return Send(wire::BuildSensorReq(type, x, y, z));
}

int CWSControl::SendMsgTransReq(const char* service, const char* msg) {
    if (!CanSend(WS_CONTROL_NAME("SendMsgTransReq"))) return -1;
    return Send(wire::BuildMsgTransReq(service, msg, *SessionId(), NowMs()));
}

int CWSControl::SendCopyStringReq(const char* text) {
    if (!CanSend(WS_CONTROL_NAME("SendCopyStringReq"))) return -1;
    if (!text) return -1;
    size_t length = strnlen(text, kMaxTextLength + 1);
    if (length > kMaxTextLength) {
        QV_LOG(QV_LOG_ERROR, "[RELAY_PORT]copy string is too long");
        return -1;
    }
    return Send(wire::BuildTextReq(wire::kCopyString, text, length));
}

int CWSControl::SendInputStringReq(const char* text) {
    if (!CanSend(WS_CONTROL_NAME("SendInputStringReq"))) return -1;
    if (!text) return -1;
    size_t length = strnlen(text, kMaxTextLength + 1);
    if (length > kMaxTextLength) {
        QV_LOG(QV_LOG_ERROR, "[RELAY_PORT]input string is too long");
        return -1;
    }
    return Send(wire::BuildTextReq(wire::kInputString, text, length));
}

int CWSControl::SendMsgTransRes(const char* msg, int code) {
    if (!CanSend(WS_CONTROL_NAME("SendMsgTransRes"))) return -1;
    return Send(wire::BuildMsgTransRes(msg, code, *SessionId(), NowMs()));
}

int CWSControl::SendPlayControlReq(uint8_t first, uint8_t second) {
    if (!CanSend(WS_CONTROL_NAME("SendPlayControlReq"))) return -1;
    return Send(wire::BuildPlayControlReq(first, second, *SessionId(), NowMs()));
}

int CWSControl::SendSetVideoParamReq(int fps, uint32_t bitrate, uint32_t width, uint32_t height) {
    if (!CanSend(WS_CONTROL_NAME("SendSetVideoParamReq"))) return -1;
    QV_LOG(QV_LOG_INFO, "[RELAY_PORT]SetVideoParam fps[%d] Bitrate[%d] size[%d*%d]", fps, static_cast<int>(bitrate),
           static_cast<int>(width), static_cast<int>(height));
    return Send(wire::BuildSetVideoParamReq(static_cast<uint32_t>(fps), bitrate, width, height, *SessionId(), NowMs()));
}

int CWSControl::SendInMicParamReq(uint32_t a, uint32_t b, uint32_t c) {
    if (!CanSend(WS_CONTROL_NAME("SendInMicParamReq"))) return -1;
    return Send(wire::BuildMicParamReq(a, b, c));
}

int CWSControl::SendInMicDataReq(const void* data, size_t length) {
    if (!CanSend(WS_CONTROL_NAME("SendInMicDataReq"))) return -1;
    if ((!data && length > 0) || length > UINT32_MAX) return -1;
    return Send(wire::BuildRaw(wire::kMicData, data, length));
}

int CWSControl::SendInCameraParamReq(uint32_t a, uint32_t b, uint32_t c, const void* blob, int blobLength) {
    if (!CanSend(WS_CONTROL_NAME("SendInCameraParamReq"))) return -1;
    if (blobLength < 0 || (!blob && blobLength > 0)) return -1;
    return Send(wire::BuildCameraParamReq(a, b, c, blob, static_cast<size_t>(blobLength)));
}

int CWSControl::SendInCameraDataReq(const void* data, size_t length) {
    if (!CanSend(WS_CONTROL_NAME("SendInCameraDataReq"))) return -1;
    if ((!data && length > 0) || length > UINT32_MAX) return -1;
    return Send(wire::BuildRaw(wire::kCameraData, data, length));
}

int CWSControl::SendSetRotationReq(uint32_t a, uint32_t b) {
    if (!CanSend(WS_CONTROL_NAME("SendSetRotationReq"))) return -1;
    return Send(wire::BuildSetRotationReq(a, b, NowMs()));
}

int CWSControl::SendInputModeReq(uint32_t mode) {
    if (!CanSend(WS_CONTROL_NAME("SendInputModeReq"))) return -1;
    return Send(wire::BuildInputModeReq(mode, *SessionId(), NowMs()));
}

int CWSControl::SendDummyReq() {
    if (!CanSend(WS_CONTROL_NAME("SendDummyReq"))) return -1;
    return Send(wire::BuildDummy());
}

int CWSControl::SendWRAnswerReq(const char* sdp) {
    if (!CanSend(WS_CONTROL_NAME("SendWRAnswerReq"))) return -1;
    return Send(wire::BuildAnswerReq(sdp, *SessionId(), NowMs()));
}

int CWSControl::SendWRCandidateReq(uint32_t mlineIndex, const char* mid, const char* candidate) {
    if (!CanSend(WS_CONTROL_NAME("SendWRCandidateReq"))) return -1;
    return Send(wire::BuildCandidate(mlineIndex, mid, candidate, *SessionId(), NowMs()));
}

}  // namespace relay_port
