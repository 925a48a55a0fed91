// What the session layer reports: the play result sets up the media, data
// goes into the frame queue, everything else is passed on to the application.
#include "common/qv_log.h"
#include "hub_notic_forwarder.h"
#include "nal_units.h"
#include "qv_phone_control.h"

namespace handset_sdk {

namespace {

class HubNoticForwarder : public data_hub::IDataHubNotic {
public:
    explicit HubNoticForwarder(std::weak_ptr<CQVPhoneControl> target) : m_target(std::move(target)) {}

    void OnStatus(int code, const char* msg) override { Call(&IDataHubNotic::OnStatus, code, msg); }
    void OnSessionError(int code, const char* msg) override { Call(&IDataHubNotic::OnSessionError, code, msg); }
    void OnPlayRes(int code, const char* msg, int videoCodec, int bitrate, int fps, int width, int height,
                   int audioCodec, int sampleRate, int channels) override {
        Call(&IDataHubNotic::OnPlayRes, code, msg, videoCodec, bitrate, fps, width, height, audioCodec, sampleRate,
             channels);
    }
    void OnVideoData(uint64_t first, uint64_t second, const uint8_t* data, uint32_t length) override {
        Call(&IDataHubNotic::OnVideoData, first, second, data, length);
    }
    void OnAudioData(const uint8_t* data, uint32_t length) override {
        Call(&IDataHubNotic::OnAudioData, data, length);
    }
    void OnMsgTransRes(int code, const char* service, const char* msg) override {
        Call(&IDataHubNotic::OnMsgTransRes, code, service, msg);
    }
    void OnMsgTransReq(const char* service, const char* msg) override {
        Call(&IDataHubNotic::OnMsgTransReq, service, msg);
    }
    void OnOutSensor(int type, bool on) override { Call(&IDataHubNotic::OnOutSensor, type, on); }
    void OnOutCopy(const char* text) override { Call(&IDataHubNotic::OnOutCopy, text); }
    void OnCursor(bool shown) override { Call(&IDataHubNotic::OnCursor, shown); }
    void OnOutScreen(int rotation, int fps, int bitrate, int width, int height) override {
        Call(&IDataHubNotic::OnOutScreen, rotation, fps, bitrate, width, height);
    }
    void OnAVPlayRes(int code, const char* msg) override { Call(&IDataHubNotic::OnAVPlayRes, code, msg); }
    void OnAVConfRes(int code, const char* msg, int fps, int bitrate, int width, int height) override {
        Call(&IDataHubNotic::OnAVConfRes, code, msg, fps, bitrate, width, height);
    }
    void OnOutMic(bool on, int samples) override { Call(&IDataHubNotic::OnOutMic, on, samples); }
    void OnOutCamera(int type, bool on, uint16_t width, uint16_t height) override {
        Call(&IDataHubNotic::OnOutCamera, type, on, width, height);
    }
    void OnSetRotationRes(int code) override { Call(&IDataHubNotic::OnSetRotationRes, code); }
    void OnDelay(uint32_t delayMs) override { Call(&IDataHubNotic::OnDelay, delayMs); }

private:
    template <typename Method, typename... Args>
    void Call(Method method, Args... args) {
        if (auto target = m_target.lock()) (static_cast<IDataHubNotic&>(*target).*method)(args...);
    }

    std::weak_ptr<CQVPhoneControl> m_target;
};

}  // namespace

std::shared_ptr<data_hub::IDataHubNotic> MakeHubNoticForwarder(std::weak_ptr<CQVPhoneControl> target) {
    return std::make_shared<HubNoticForwarder>(std::move(target));
}

void CQVPhoneControl::OnStatus(int code, const char* msg) {
    if (code == data_hub::QV_STATUS_WS_CONNECTING) {
        m_stats.OnReconnect();
    } else {
        m_stats.OnError(code, msg);
    }
    if (auto notic = Notic()) notic->OnStatus(code, msg);
}

void CQVPhoneControl::OnSessionError(int code, const char* msg) {
    m_stats.OnError(code, msg);
    if (auto notic = Notic()) notic->OnSessionError(code, msg);
}

void CQVPhoneControl::OnPlayRes(int code, const char* msg, int videoCodec, int bitrate, int fps, int width,
                                int height, int audioCodec, int sampleRate, int channels) {
    auto notic = Notic();
    if (code != 0) {
        m_stats.OnError(code, msg);
        if (notic) notic->OnPlayRes(code, msg, videoCodec, bitrate, fps, width, height, audioCodec, sampleRate, channels);
        return;
    }
    int setupCode = 0;
    if (width == 0 || height == 0) {
        QV_LOG(QV_LOG_ERROR, "[HANDSET_SDK]Get video size[%d*%d]; Do not play!", width, height);
    } else if (videoCodec != 264 && videoCodec != 265) {
        QV_LOG(QV_LOG_ERROR, "[HANDSET_SDK]unsupport video format[%d]!", videoCodec);
        setupCode = QV_PHONE_VIDEO_FORMAT_UNSUPPORTED;
        ReportFailure(setupCode);
    } else {
        {
            std::lock_guard<std::mutex> lock(m_videoMutex);
            m_video.codec = videoCodec;
            m_video.width = static_cast<uint16_t>(width);
            m_video.height = static_cast<uint16_t>(height);
            m_video.fps = static_cast<uint16_t>(fps);
            m_video.bitrate = bitrate;
        }
        QV_LOG(QV_LOG_INFO, "[HANDSET_SDK]Get video Format[%d] Bitrate[%d] Fps[%d] Size[%d*%d]!", videoCodec,
               bitrate, fps, width, height);
        m_stats.OnStream(videoCodec, width, height);
        m_mediaReady.store(true);
    }

    QvAudioParam audio;
    if (sampleRate == 0 || channels == 0) {
        audio.format = 1;
        audio.sampleRate = 48000;
        audio.channels = 2;
    } else {
        audio.format = audioCodec;
        audio.sampleRate = sampleRate;
        audio.channels = channels;
    }
    if (audio.format != 1) {
        QV_LOG(QV_LOG_ERROR, "[HANDSET_SDK]unsupport audio format[%d]!", audio.format);
        ReportFailure(QV_PHONE_AUDIO_FORMAT_UNSUPPORTED);
        if (setupCode == 0) setupCode = QV_PHONE_AUDIO_FORMAT_UNSUPPORTED;
    } else {
        QV_LOG(QV_LOG_INFO, "[HANDSET_SDK]Get audio Format[%d] samplerate[%d] Channel[%d];", audio.format,
               audio.sampleRate, audio.channels);
        std::lock_guard<std::mutex> lock(m_videoMutex);
        m_audio = audio;
    }
    if (notic) {
        notic->OnPlayRes(setupCode, setupCode != 0 ? HandsetStatusText(setupCode) : msg, videoCodec, bitrate, fps,
                         width, height, audio.format, audio.sampleRate, audio.channels);
    }
}

void CQVPhoneControl::OnVideoData(uint64_t first, uint64_t second, const uint8_t* data, uint32_t length) {
    if (m_state.load() != kStateReady || data == nullptr || length == 0) return;
    m_stats.OnFrameReceived(length);
    auto buff = std::make_shared<Buff>();
    buff->type = kBuffVideo;
    buff->data.assign(data, data + length);
    buff->keyFrame = IsKeyFrame(data, length, CurrentVideo().codec);
    m_stats.OnQueueDrops(m_queue.Push(std::move(buff)));
}

void CQVPhoneControl::OnAudioData(const uint8_t* data, uint32_t length) {
    if (m_state.load() != kStateReady || m_dropAudio.load() || data == nullptr || length == 0) return;
    auto buff = std::make_shared<Buff>();
    buff->type = kBuffAudio;
    buff->data.assign(data, data + length);
    m_queue.Push(std::move(buff));
}

void CQVPhoneControl::OnMsgTransRes(int code, const char* service, const char* msg) {
    if (auto notic = Notic()) notic->OnMsgTransRes(code, service, msg);
}

void CQVPhoneControl::OnMsgTransReq(const char* service, const char* msg) {
    if (auto notic = Notic()) notic->OnMsgTransReq(service, msg);
}

void CQVPhoneControl::OnOutSensor(int type, bool on) {
    if (auto notic = Notic()) notic->OnOutSensor(type, on);
}

void CQVPhoneControl::OnOutCopy(const char* text) {
    if (auto notic = Notic()) notic->OnOutCopy(text);
}

void CQVPhoneControl::OnCursor(bool shown) {
    // A text field on the phone has the input focus: typed characters go as text.
    m_textMode.store(shown);
    if (auto notic = Notic()) notic->OnCursor(shown);
}

void CQVPhoneControl::OnOutScreen(int rotation, int fps, int bitrate, int width, int height) {
    m_uplink.SetOrientation(rotation);
    if (auto notic = Notic()) notic->OnOutScreen(width, height, bitrate, fps, rotation);
}

void CQVPhoneControl::OnAVPlayRes(int code, const char* msg) {
    if (auto notic = Notic()) notic->OnAVPlayRes(code, msg);
}

void CQVPhoneControl::OnAVConfRes(int code, const char* msg, int fps, int bitrate, int width, int height) {
    if (auto notic = Notic()) notic->OnAVConfRes(code, msg, fps, bitrate, width, height);
}

void CQVPhoneControl::OnOutMic(bool on, int samples) {
    DetachProducer(m_uplink.MicSwitch(on, samples));
    if (auto notic = Notic()) notic->OnOutMic(on, samples);
}

void CQVPhoneControl::OnOutCamera(int type, bool on, uint16_t width, uint16_t height) {
    DetachProducer(m_uplink.CameraSwitch(type, on, width, height));
    if (auto notic = Notic()) notic->OnOutCamera(type, on, width, height);
}

void CQVPhoneControl::OnSetRotationRes(int code) {
    if (auto notic = Notic()) notic->OnSetRotationRes(code);
}

void CQVPhoneControl::OnDelay(uint32_t delayMs) {
    m_stats.OnDelay(delayMs);
    if (auto notic = Notic()) notic->OnDelay(delayMs);
}

}  // namespace handset_sdk
