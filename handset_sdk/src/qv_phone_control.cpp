#include "qv_phone_control.h"

#include <system_error>

#include "common/qv_log.h"
#include "hardware_probe.h"
#include "hub_notic_forwarder.h"
#include "key_table.h"

namespace handset_sdk {

namespace {
constexpr const char* kSdkVersion = "1.1.0";
}  // namespace

std::shared_ptr<IHandsetSdk> IHandsetSdk::CreateQVPhone() {
    QV_LOG(QV_LOG_INFO, "[HANDSET_SDK]handset_sdk Version[%s]", kSdkVersion);
    return std::make_shared<CQVPhoneControl>();
}

uint8_t IHandsetSdk::GetAndroidKeyCodeWithWinKey(uint8_t winKey) { return MapWinKey(winKey); }

int IHandsetSdk::GetMicCaptureSampleCount(capture::emCAPTURE_TYPE type, int sampleRate) {
    if (type == capture::CAPTURE_TYPE_PCM_1024) return 1024;
    return sampleRate / 50;
}

void IHandsetSdk::SetLogParam(QvLogParam* param) { common::ApplyLogParam(param, "HANDSET_SDK"); }

CQVPhoneControl::~CQVPhoneControl() {
    if (m_state.load() == kStateReady) Uninit();
    StopDecodeThread();
}

std::shared_ptr<data_hub::IQVInternalDataInterface> CQVPhoneControl::Hub() const {
    std::lock_guard<std::mutex> lock(m_objectsMutex);
    return m_hub;
}

std::shared_ptr<IQVPhoneNotic> CQVPhoneControl::Notic() const {
    std::lock_guard<std::mutex> lock(m_objectsMutex);
    return m_notic;
}

std::shared_ptr<const SdkParams> CQVPhoneControl::Params() const {
    std::lock_guard<std::mutex> lock(m_objectsMutex);
    return m_params;
}

QvPhoneParam CQVPhoneControl::CurrentVideo() const {
    std::lock_guard<std::mutex> lock(m_videoMutex);
    return m_video;
}

int CQVPhoneControl::Init(std::shared_ptr<IQVPhoneNotic> notic, const QvDataParam* data, const QvPhoneParam* video,
                          const QvSysParam* sys, const QVOutParam* out) {
    QV_LOG(QV_LOG_INFO, "[HANDSET_SDK]QV Phone Begin Init");
    int32_t expected = kStateIdle;
    if (!m_state.compare_exchange_strong(expected, kStateInitialising)) return -1;

    auto params = std::make_shared<SdkParams>();
    if (!CheckAndCopyParams(data, video, sys, out, *params)) {
        QV_LOG(QV_LOG_ERROR, "[HANDSET_SDK]CheckParam failed");
        m_state.store(kStateIdle);
        return -1;
    }
    bool ok = true;
    if (params->out.decodeMode == 0 || params->out.decodeMode == 1) {
        if (HardwareDecodeSupported()) {
            params->out.decodeMode = 1;
        } else if (params->out.decodeMode == 1) {
            QV_LOG(QV_LOG_ERROR, "[HANDSET_SDK]Hardware decode not support");
            ok = false;
        } else {
            QV_LOG(QV_LOG_WARN, "[HANDSET_SDK]Hardware decode not support, use software decode");
            params->out.decodeMode = 2;
        }
    }
    if (ok) {
        // A fresh session: nothing of the previous one survives.
        m_mediaReady.store(false);
        m_decodeStarted.store(false);
        m_dropAudio.store(params->out.value18 != 0);
        m_decodeMode.store(params->out.decodeMode);
        m_stats.Reset(out ? out->decodeMode : 0, params->out.decodeMode);
        m_inputMode.store(1);
        m_textMode.store(false);
        m_touchActive.store(false);
        {
            std::lock_guard<std::mutex> lock(m_playControlMutex);
            m_lastPlayControl = 0;
        }
        {
            std::lock_guard<std::mutex> lock(m_videoMutex);
            m_video = params->video;
            m_audio = QvAudioParam();
        }
        {
            std::lock_guard<std::mutex> lock(m_displayMutex);
            m_rect = RECT();
            m_window = 0;
            m_displayMode.store(0);
        }
        m_queue.Clear();
        m_queue.SetConsumerRunning(false);

        std::shared_ptr<data_hub::IQVInternalDataInterface> hub;
        {
            std::lock_guard<std::mutex> lock(m_objectsMutex);
            if (!m_hub) m_hub = data_hub::IQVInternalDataInterface::CreateInternalDataInterface();
            hub = m_hub;
            m_notic = std::move(notic);
            m_params = params;
        }
        const data_hub::QvVideoParam hubVideo = ToHubVideo(params->video);
        const data_hub::QvDataSystemParam hubSystem = ToHubSystem(params->sys);
        const QvDataParam& d = params->data;
        if (!hub || hub->Init(d.baseUrl, d.userId, d.accessKey, d.secretKey, d.instanceNo, d.mode,
                              MakeHubNoticForwarder(weak_from_this()), &hubVideo, &hubSystem) != 0) {
            QV_LOG(QV_LOG_ERROR, "[HANDSET_SDK]Init data interface failed");
            ok = false;
            std::lock_guard<std::mutex> lock(m_objectsMutex);
            m_notic.reset();
            m_params.reset();
        } else {
            hub->SetSdkVersion1(kSdkVersion);
        }
    }
    m_state.store(ok ? kStateReady : kStateIdle);
    if (ok) {
        QV_LOG(QV_LOG_INFO, "[HANDSET_SDK]QV Phone Init succ");
    } else {
        QV_LOG(QV_LOG_ERROR, "[HANDSET_SDK]QV Phone Init failed");
    }
    return ok ? 0 : -1;
}

int CQVPhoneControl::Uninit() {
    QV_LOG(QV_LOG_INFO, "[HANDSET_SDK]QV Phone Begin Uninit");
    int32_t expected = kStateReady;
    if (!m_state.compare_exchange_strong(expected, kStateStopping)) return expected;

    ReleaseHeldKeys();
    // No producer delivers into the session while it is taken down.
    for (const auto& source : m_uplink.Reset()) DetachProducer(source);
    StopDecodeThread();

    std::shared_ptr<data_hub::IQVInternalDataInterface> hub;
    {
        std::lock_guard<std::mutex> lock(m_objectsMutex);
        hub.swap(m_hub);
        m_params.reset();
    }
    if (hub) hub->UnInit();
    hub.reset();
    m_queue.Clear();
    m_queue.SetConsumerRunning(false);
    m_pipeline.Release();
    m_mediaReady.store(false);
    {
        std::lock_guard<std::mutex> lock(m_displayMutex);
        m_window = 0;
    }
    std::shared_ptr<IQVPhoneNotic> notic;
    {
        std::lock_guard<std::mutex> lock(m_objectsMutex);
        notic.swap(m_notic);
    }
    m_state.store(kStateIdle);
    QV_LOG(QV_LOG_INFO, "[HANDSET_SDK]QV Phone Uninit succ");
    return 0;
}

int CQVPhoneControl::Start() {
    if (m_state.load() != kStateReady || m_mediaReady.load()) return -1;
    QV_LOG(QV_LOG_INFO, "[HANDSET_SDK]QV Phone Start");
    auto hub = Hub();
    if (hub && hub->Start() == 0) {
        QV_LOG(QV_LOG_INFO, "[HANDSET_SDK]QV Phone Start succ");
        return 0;
    }
    QV_LOG(QV_LOG_ERROR, "[HANDSET_SDK]QV Phone Start failed");
    return -1;
}

int CQVPhoneControl::StartShow(HWND window, const RECT* rect, int mode) {
    auto params = Params();
    if (!Ready() || !params || params->out.showMode == 0) return -1;
    QV_LOG(QV_LOG_INFO, "[HANDSET_SDK]QV Phone StartShow");
    {
        std::lock_guard<std::mutex> lock(m_displayMutex);
        if (rect != nullptr) m_rect = *rect;
        m_displayMode.store(mode);
        if (m_window != 0 || window == 0) return 0;
        bool started = false;
        if (!m_decodeStarted.compare_exchange_strong(started, true)) {
            QV_LOG(QV_LOG_ERROR, "[HANDSET_SDK]decode thread have started");
            return -1;
        }
        m_window = window;
    }
    if (StartDecodeThread() != 0) {
        std::lock_guard<std::mutex> lock(m_displayMutex);
        m_window = 0;
        return -1;
    }
    QV_LOG(QV_LOG_INFO, "[HANDSET_SDK]QV Phone StartShow succ");
    return 0;
}

int CQVPhoneControl::StartOut() {
    auto params = Params();
    if (!Ready() || !params || params->out.showMode != 0) return -1;
    QV_LOG(QV_LOG_INFO, "[HANDSET_SDK]QV Phone StartOut");
    bool started = false;
    if (!m_decodeStarted.compare_exchange_strong(started, true)) {
        QV_LOG(QV_LOG_ERROR, "[HANDSET_SDK]decode thread have started");
        return -1;
    }
    if (StartDecodeThread() != 0) return -1;
    QV_LOG(QV_LOG_INFO, "[HANDSET_SDK]QV Phone StartOut succ");
    return 0;
}

int CQVPhoneControl::StartDecodeThread() {
    auto stop = std::make_shared<std::atomic<bool>>(false);
    std::lock_guard<std::mutex> lock(m_threadMutex);
    // Uninit, once it has begun, stops only a thread that was started before it.
    if (m_state.load() != kStateReady || m_decodeThread.joinable()) {
        m_decodeStarted.store(false);
        return -1;
    }
    m_sizeChangedLastPass = false;
    m_audioPlaying = false;
    m_queue.SetConsumerRunning(true);
    try {
        m_decodeThread = std::thread(&CQVPhoneControl::DecodeThreadMain, weak_from_this(), stop);
    } catch (const std::system_error& e) {
        QV_LOG(QV_LOG_ERROR, "[HANDSET_SDK]err[%d:%s] start decode thread", e.code().value(), e.what());
        m_queue.SetConsumerRunning(false);
        m_decodeStarted.store(false);
        return -1;
    }
    m_stopToken = std::move(stop);
    return 0;
}

void CQVPhoneControl::StopDecodeThread() {
    std::thread thread;
    StopToken stop;
    {
        std::lock_guard<std::mutex> lock(m_threadMutex);
        thread.swap(m_decodeThread);
        stop.swap(m_stopToken);
    }
    if (stop) stop->store(true);
    m_queue.Wake();
    if (!thread.joinable()) return;
    if (thread.get_id() == std::this_thread::get_id()) {
        thread.detach();  // called from a notification of the decode thread itself
    } else {
        thread.join();
    }
}

int CQVPhoneControl::SetOutSize(int width, int height) {
    auto params = Params();
    if (!Ready() || !params || params->out.showMode != 0) return -1;
    return m_pipeline.SetOutputSize(width, height);
}

int CQVPhoneControl::SetCaptureSource(std::shared_ptr<capture::ICaptureSource> source, void* extra) {
    if (!Ready() || !source) return -1;
    DetachProducer(m_uplink.Register(source));
    // The producer delivers from now on; frames count once the phone switches it on.
    if (source->Attach(std::weak_ptr<capture::ICaptureNotify>(shared_from_this())) != 0) {
        QV_LOG(QV_LOG_ERROR, "[HANDSET_SDK]capture source type[%d] cannot start", source->GetCaptureType());
        m_uplink.Unregister(source);
        return -1;
    }
    // A registration or a teardown that ran meanwhile may have dropped it: a
    // producer that is not kept must not deliver.
    if (m_state.load() != kStateReady) {
        m_uplink.Unregister(source);
        DetachProducer(source);
        return -1;
    }
    if (!m_uplink.IsRegistered(source)) DetachProducer(source);
    return 0;
}

int CQVPhoneControl::ResetCaptureSource(std::shared_ptr<capture::ICaptureSource> source) {
    if (!Ready() || !source) return -1;
    m_uplink.Unregister(source);
    DetachProducer(source);
    return 0;
}

void CQVPhoneControl::DetachProducer(const std::shared_ptr<capture::ICaptureSource>& source) {
    if (source) source->Detach(this);
}

void CQVPhoneControl::OnCaptureFrame(const capture::CaptureFrame* frame) {
    if (m_state.load() != kStateReady) return;
    auto hub = Hub();
    m_uplink.OnFrame(frame, hub.get());
}

}  // namespace handset_sdk
