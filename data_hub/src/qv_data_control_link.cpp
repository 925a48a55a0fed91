// Stream link side of the hub: input forwarded down, events handed up.
#include "hub_params.h"
#include "qv_data_control.h"

namespace data_hub {

std::shared_ptr<relay_port::IRelayPort> CQVDataControl::ActiveLink() {
    if (m_initState.load() != 2 || !m_started.load()) return nullptr;
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_relay;
}

#define FORWARD(call)                    \
    do {                                 \
        auto link = ActiveLink();        \
        return link ? link->call : -1;   \
    } while (0)

int CQVDataControl::SendInTouchReq(uint32_t action, const uint32_t* xs, const uint32_t* ys, int count) {
    if (count == 0) return -1;
    FORWARD(SendInTouchReq(action, xs, ys, count));
}
int CQVDataControl::SendInKeyReq(uint8_t flag, uint8_t key) { FORWARD(SendInKeyReq(flag, key)); }
int CQVDataControl::SendInLocationReq(float p1, float p2, float p3, float p4, float p5, float p6, float p7,
                                      float p8) {
    FORWARD(SendInLocationReq(p1, p2, p3, p4, p5, p6, p7, p8));
}
int CQVDataControl::SendInSensorReq(uint32_t type, float x, float y, float z) {
    FORWARD(SendInSensorReq(type, x, y, z));
}
int CQVDataControl::SendMsgTransReq(const char* service, const char* msg) { FORWARD(SendMsgTransReq(service, msg)); }
int CQVDataControl::SendCopyStringReq(const char* text) { FORWARD(SendCopyStringReq(text)); }
int CQVDataControl::SendInputStringReq(const char* text) { FORWARD(SendInputStringReq(text)); }
int CQVDataControl::SendPlayControlReq(uint8_t first, uint8_t second) { FORWARD(SendPlayControlReq(first, second)); }
int CQVDataControl::SendSetVideoParamReq(int fps, uint32_t bitrate, uint32_t width, uint32_t height) {
    FORWARD(SendSetVideoParamReq(fps, bitrate, width, height));
}
int CQVDataControl::SendInMicParamReq(uint32_t a, uint32_t b, uint32_t c) {
    QV_LOG(0, "[DATA_HUB]SendInMicParamReq[%d] [%d] [%d]", a, b, c);
    FORWARD(SendInMicParamReq(a, b, c));
}
int CQVDataControl::SendInMicDataReq(const void* data, size_t length) { FORWARD(SendInMicDataReq(data, length)); }
int CQVDataControl::SendInCameraParamReq(uint32_t format, uint32_t b, uint32_t c, const void* blob, int blobLength) {
    if (format == QV_VIDEO_FORMAT_H265) {
        QV_LOG(60, "[DATA_HUB]Camera do not support H265");
        return -1;
    }
    QV_LOG(0, "[DATA_HUB]SendInCameraParamReq[%d] [%d] [%d]", format, b, c);
    FORWARD(SendInCameraParamReq(format, b, c, blob, blobLength));
}
int CQVDataControl::SendInCameraDataReq(const void* data, size_t length) {
    FORWARD(SendInCameraDataReq(data, length));
}
int CQVDataControl::SendSetRotationReq(uint32_t a, uint32_t b) { FORWARD(SendSetRotationReq(a, b)); }
int CQVDataControl::SendInputModeReq(uint32_t mode) { FORWARD(SendInputModeReq(mode)); }
int CQVDataControl::SendDummyReq() { FORWARD(SendDummyReq()); }

#undef FORWARD

void CQVDataControl::OnConnectStatus(int status) {
    switch (status) {
    case relay_port::WS_STATUS_DISCONNECTED:
        UpdateStat([](plat_client::MessageCollect& s) {
            s.reconnectFailTime = NowMs();
            s.reconnectResult = 0;
        });
        Status(QV_STATUS_WS_DISCONNECT, StatusText(QV_STATUS_WS_DISCONNECT));
        ReportStat(0, 6, QV_STATUS_WS_DISCONNECT, "", "");
        break;
    case relay_port::WS_STATUS_CONNECTING:
        UpdateStat([](plat_client::MessageCollect& s) {
            s.reconnectCount += 1;
            s.reconnectStartTime = NowMs();
        });
        Status(QV_STATUS_WS_CONNECTING, StatusText(QV_STATUS_WS_CONNECTING));
        ReportStat(0, 3, QV_STATUS_WS_CONNECTING, "", "");
        break;
    case relay_port::WS_STATUS_PLAYING:
        UpdateStat([](plat_client::MessageCollect& s) {
            s.reconnectSuccessTime = NowMs();
            s.reconnectResult = 1;
        });
        SendInputModeReq(1);
        Status(QV_STATUS_SUCCESS, StatusText(QV_STATUS_SUCCESS));
        ReportStat(1, 3, 0, "", "");
        break;
    default:
        break;
    }
}

void CQVDataControl::OnPlayRes(int code, const char* msg, int videoCodec, int bitrate, int fps, int width, int height,
                               int audioCodec, int sampleRate, int channels) {
    UpdateStat([](plat_client::MessageCollect& s) { s.startPlayTime = NowMs(); });
    ReportStat(1, 1, 0, "", "");
    if (auto notic = Notic())
        notic->OnPlayRes(code, msg, videoCodec, bitrate, fps, width, height, audioCodec, sampleRate, channels);
}

void CQVDataControl::OnVideoData(uint64_t first, uint64_t second, const uint8_t* data, uint32_t length) {
    bool expected = false;
    if (m_firstFrame.compare_exchange_strong(expected, true)) {
        UpdateStat([](plat_client::MessageCollect& s) { s.firstFrameTime = NowMs(); });
        ReportStat(1, 2, 0, "", "");
    }
    if (auto notic = Notic()) notic->OnVideoData(first, second, data, length);
}

void CQVDataControl::OnMsgTransReq(const char* service, const char* msg) {
    if (auto notic = Notic()) notic->OnMsgTransReq(service, msg);
    std::shared_ptr<relay_port::IRelayPort> relay;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        relay = m_relay;
    }
    if (relay) relay->SendMsgTransRes(service, 0);
}

void CQVDataControl::OnError(int code, const char* msg) {
    if (code == 60103013) {
        // The stream server wants a new session; the link reconnects by itself.
        if (auto plat = Platform()) plat->RefreshSession("", nullptr);
        return;
    }
    auto notic = Notic();
    if (notic) {
        if (code == 60102029) notic->OnSessionError(code, msg);
        else notic->OnStatus(code, msg);
    }
    ReportStat(0, 5, code, "", "");
}

void CQVDataControl::OnAudioData(const uint8_t* data, uint32_t length) {
    if (auto notic = Notic()) notic->OnAudioData(data, length);
}
void CQVDataControl::OnMsgTransRes(int code, const char* service, const char* msg) {
    if (auto notic = Notic()) notic->OnMsgTransRes(code, service, msg);
}
void CQVDataControl::OnOutSensor(int type, bool on) {
    if (auto notic = Notic()) notic->OnOutSensor(type, on);
}
void CQVDataControl::OnOutCopy(const char* text) {
    if (auto notic = Notic()) notic->OnOutCopy(text);
}
void CQVDataControl::OnCursor(bool shown) {
    if (auto notic = Notic()) notic->OnCursor(shown);
}
void CQVDataControl::OnOutScreen(int rotation, int fps, int bitrate, int width, int height) {
    if (auto notic = Notic()) notic->OnOutScreen(rotation, fps, bitrate, width, height);
}
void CQVDataControl::OnAVPlayRes(int code, const char* msg) {
    if (auto notic = Notic()) notic->OnAVPlayRes(code, msg);
}
void CQVDataControl::OnAVConfRes(int code, const char* msg, int fps, int bitrate, int width, int height) {
    if (auto notic = Notic()) notic->OnAVConfRes(code, msg, fps, bitrate, width, height);
}
void CQVDataControl::OnOutMic(bool on, int samples) {
    if (auto notic = Notic()) notic->OnOutMic(on, samples);
}
void CQVDataControl::OnOutCamera(int type, bool on, uint16_t width, uint16_t height) {
    if (auto notic = Notic()) notic->OnOutCamera(type, on, width, height);
}
void CQVDataControl::OnSetRotationRes(int code) {
    if (auto notic = Notic()) notic->OnSetRotationRes(code);
}
void CQVDataControl::OnDelay(uint32_t delayMs) {
    if (auto notic = Notic()) notic->OnDelay(delayMs);
}

}  // namespace data_hub
