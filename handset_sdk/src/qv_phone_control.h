#pragma once
// CQVPhoneControl: the one implementation of IHandsetSdk. Its operations are
// spread over files by concern: life cycle (qv_phone_control.cpp), session
// notifications (qv_phone_notic.cpp), decoding (qv_phone_decode.cpp) and
// input (qv_phone_input.cpp).
#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "data_hub/data_hub.h"
#include "frame_queue.h"
#include "handset_sdk/handset_sdk.h"
#include "media_pipeline.h"
#include "phone_stats.h"
#include "sdk_params.h"
#include "touch_conversion.h"
#include "uplink/capture_uplink.h"

namespace handset_sdk {

enum SdkState : int32_t { kStateIdle = 0, kStateInitialising = 1, kStateReady = 2, kStateStopping = 3 };

class CQVPhoneControl : public IHandsetSdk,
                        public data_hub::IDataHubNotic,
                        public capture::ICaptureNotify,
                        public std::enable_shared_from_this<CQVPhoneControl> {
public:
    CQVPhoneControl() = default;
    ~CQVPhoneControl() override;

    // IHandsetSdk
    int Init(std::shared_ptr<IQVPhoneNotic> notic, const QvDataParam* data, const QvPhoneParam* video,
             const QvSysParam* sys, const QVOutParam* out) override;
    int Uninit() override;
    int Start() override;
    int StartShow(HWND window, const RECT* rect, int mode) override;
    int StartOut() override;
    int SetOutSize(int width, int height) override;
    int SetCaptureSource(std::shared_ptr<capture::ICaptureSource> source, void* extra) override;
    int ResetCaptureSource(std::shared_ptr<capture::ICaptureSource> source) override;
    int SendTouch(uint32_t action, const int* xs, const int* ys, int count) override;
    int SendTouchRaw(uint32_t action, const int* xs, const int* ys, int count) override;
    void ConvertPoint(int action, int* xs, int* ys, int* count) override;
    int SendKey(uint32_t down, uint32_t winKey) override;
    int OnImeMessage(int message, uint64_t wParam, uint64_t lParam, char* echo, uint32_t echoSize) override;
    int SendControlKey(int which) override;
    int SendVolume(uint32_t which) override;
    int SendLocation(float p1, float p2, float p3, float p4, float p5, float p6, float p7, float p8) override;
    int SendSensor(uint32_t type, float x, float y, float z) override;
    int SendMsgTrans(const char* service, const char* msg) override;
    int SendCopyString(const char* text) override;
    int SendInputString(const char* text) override;
    int SetPlayControl(uint8_t value, uint8_t audio) override;
    int SetVideoParam(uint32_t fps, uint32_t bitrate, uint32_t width, uint32_t height) override;
    int SetRotation(uint32_t a, uint32_t b) override;
    int SetInputMode(uint32_t mode) override;
    int GetStatistics(QvPhoneStats* stats) override;  // qv_phone_stats.cpp

    // IDataHubNotic (the stream link's loop thread)
    void OnStatus(int code, const char* msg) override;
    void OnSessionError(int code, const char* msg) override;
    void OnPlayRes(int code, const char* msg, int videoCodec, int bitrate, int fps, int width, int height,
                   int audioCodec, int sampleRate, int channels) override;
    void OnVideoData(uint64_t first, uint64_t second, const uint8_t* data, uint32_t length) override;
    void OnAudioData(const uint8_t* data, uint32_t length) override;
    void OnMsgTransRes(int code, const char* service, const char* msg) override;
    void OnMsgTransReq(const char* service, const char* msg) override;
    void OnOutSensor(int type, bool on) override;
    void OnOutCopy(const char* text) override;
    void OnCursor(bool shown) override;
    void OnOutScreen(int rotation, int fps, int bitrate, int width, int height) override;
    void OnAVPlayRes(int code, const char* msg) override;
    void OnAVConfRes(int code, const char* msg, int fps, int bitrate, int width, int height) override;
    void OnOutMic(bool on, int samples) override;
    void OnOutCamera(int type, bool on, uint16_t width, uint16_t height) override;
    void OnSetRotationRes(int code) override;
    void OnDelay(uint32_t delayMs) override;

    // capture::ICaptureNotify (the producer's thread)
    void OnCaptureFrame(const capture::CaptureFrame* frame) override;

private:
    using StopToken = std::shared_ptr<std::atomic<bool>>;

    bool Ready() const { return m_state.load() == kStateReady && m_mediaReady.load(); }
    std::shared_ptr<data_hub::IQVInternalDataInterface> Hub() const;
    std::shared_ptr<IQVPhoneNotic> Notic() const;
    std::shared_ptr<const SdkParams> Params() const;
    QvPhoneParam CurrentVideo() const;

    // Decode thread
    int StartDecodeThread();
    static void DecodeThreadMain(std::weak_ptr<CQVPhoneControl> weak, StopToken stop);
    // One pass of the loop; false when the thread is to end.
    bool DecodePass(const StopToken& stop);
    bool SetUpPipeline(const SdkParams& params, bool afterSizeChange);
    void HandleVideo(const Buff& frame, const SdkParams& params);
    void HandleAudio(const Buff& frame, const SdkParams& params);
    // true (and the size taken over) when the frame's SPS names a new picture size.
    bool DetectSizeChange(const Buff& frame);
    void ReportFailure(int code);
    void StopDecodeThread();

    // Input
    int SendPoints(uint32_t action, const std::vector<TouchPoint>& points);
    int PressAndRelease(uint8_t code);
    DisplayArea CurrentDisplay() const;
    void ReleaseHeldKeys();

    std::atomic<int32_t> m_state{kStateIdle};
    std::atomic<bool> m_mediaReady{false};

    mutable std::mutex m_objectsMutex;  // the three pointers below
    std::shared_ptr<data_hub::IQVInternalDataInterface> m_hub;
    std::shared_ptr<IQVPhoneNotic> m_notic;
    std::shared_ptr<const SdkParams> m_params;

    std::atomic<bool> m_dropAudio{true};  // the out record's value18, changed by SetPlayControl
    std::atomic<int> m_decodeMode{0};     // after the hardware probe
    uint8_t m_lastPlayControl = 0;
    std::mutex m_playControlMutex;

    mutable std::mutex m_videoMutex;  // current video record and audio record
    QvPhoneParam m_video;
    QvAudioParam m_audio;

    mutable std::mutex m_displayMutex;
    RECT m_rect;
    HWND m_window = 0;
    std::atomic<int> m_displayMode{0};

    std::mutex m_threadMutex;  // the thread object and its stop token
    std::thread m_decodeThread;
    StopToken m_stopToken;
    std::atomic<bool> m_decodeStarted{false};
    std::atomic<long> m_decodeTid{0};
    bool m_sizeChangedLastPass = false;  // decode thread only
    bool m_audioPlaying = false;         // decode thread only
    CPhoneStats m_stats;  // before the pipeline: the present thread counts into it until it ends
    FrameQueue m_queue;
    CMediaPipeline m_pipeline;

    std::mutex m_keyMutex;
    std::vector<uint32_t> m_pressedKeys;  // in press order
    std::atomic<int32_t> m_inputMode{1};
    std::atomic<bool> m_textMode{false};
    std::atomic<bool> m_touchActive{false};

    // Camera and microphone uplink (its own capture mutex inside).
    CCaptureUplink m_uplink;
    void DetachProducer(const std::shared_ptr<capture::ICaptureSource>& source);
};

}  // namespace handset_sdk
