#pragma once
// One cloud phone for a desktop application: session start, decoded picture
// and sound (drawn by the SDK or handed out), and the user's input translated
// for the phone. Operations may be called from any thread; notifications
// arrive on the stream link's loop thread, decoded frames and size changes on
// the SDK's decode thread.
#include <cstdint>
#include <memory>

#include "capture/capture_notify.h"
#include "common/qv_log.h"
#include "handset_sdk/handset_stats.h"

#define HANDSET_SDK_API __attribute__((visibility("default")))

namespace handset_sdk {

// Native window handle: the X11 window id of the widget the picture goes into.
using HWND = uintptr_t;

// Window rectangle in pixels.
struct RECT {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// Account and session data; every text is NUL-terminated and must be non-empty.
struct QvDataParam {
    char baseUrl[256] = {0};
    char userId[256] = {0};
    char accessKey[256] = {0};
    char secretKey[256] = {0};
    char instanceNo[256] = {0};
    int32_t mode = 0;  // 0 cloud phone, non-zero cloud game
};

// The wanted stream.
struct QvPhoneParam {
    int32_t codec = 264;  // 264 H.264, 265 H.265
    uint16_t width = 720;
    uint16_t height = 1280;
    uint16_t fps = 30;
    int32_t bitrate = 2048;
};

// Connection settings (checked by the session layer).
struct QvSysParam {
    int32_t reconnect = 1;
    int32_t connectTimeoutMs = 5000;
    int32_t reconnectIntervalMs = 3000;
    uint8_t flag = 1;       // non-zero: wss://
    int32_t param5 = 5000;  // platform connect time-out, ms
    int32_t param6 = 5000;  // platform total time-out, ms
};

// How the picture is delivered.
struct QVOutParam {
    int32_t showMode = 1;     // non-zero: drawn into a window (StartShow); 0: frames handed out (StartOut)
    int32_t decodeMode = 0;   // 0 hardware if available else software, 1 hardware only, 2 software
    int32_t pixelFormat = 4;  // codec PixelFormat of frames handed out (4: B, G, R, A bytes)
    uint16_t value12 = 1;     // non-zero: sound is played in show mode
    uint16_t value14 = 16;
    uint16_t value16 = 8;
    uint16_t value18 = 1;     // non-zero: audio is dropped
};

// The audio of the stream.
struct QvAudioParam {
    int32_t format = 1;  // 1 Opus, the only one supported
    int32_t sampleRate = 48000;
    int32_t channels = 2;
};

// Codes the SDK itself reports through IQVPhoneNotic::OnStatus.
enum HandsetStatus {
    QV_PHONE_SUCCESS = 0,
    QV_PHONE_VIDEO_DECODE_INIT_FAILED = 60703001,
    QV_PHONE_VIDEO_FORMAT_UNSUPPORTED = 60703002,
    QV_PHONE_VIDEO_PLAY_FAILED = 60704001,
    QV_PHONE_AUDIO_FORMAT_UNSUPPORTED = 60705001,
    QV_PHONE_AUDIO_DECODE_INIT_FAILED = 60705002,
    QV_PHONE_AUDIO_PLAY_FAILED = 60706001,
};

// The text of one of the codes above ("" for others).
HANDSET_SDK_API const char* HandsetStatusText(int code);

// Implemented by the application. Texts and buffers are valid during the call only.
class HANDSET_SDK_API IQVPhoneNotic {
public:
    virtual void OnStatus(int code, const char* msg) = 0;
    virtual void OnSessionError(int code, const char* msg) = 0;
    virtual void OnPlayRes(int code, const char* msg, int videoCodec, int bitrate, int fps, int width, int height,
                           int audioCodec, int sampleRate, int channels) = 0;
    virtual void OnOutScreen(int width, int height, int bitrate, int fps, int rotation) = 0;
    virtual void OnMsgTransRes(int code, const char* service, const char* msg) {}
    virtual void OnCursor(bool shown) {}
    virtual void OnMsgTransReq(const char* service, const char* msg) {}
    virtual void OnOutSensor(int type, bool on) {}
    virtual void OnOutCopy(const char* text) {}
    // Out mode: one decoded picture, size bytes in QVOutParam.pixelFormat.
    virtual void OnVideoFrame(const uint8_t* data, int size, int width, int height) {}
    // Out mode: one decoded block of interleaved signed 16-bit PCM, size bytes.
    virtual void OnAudioFrame(const uint8_t* pcm, int size, int sampleRate, int channels) {}
    virtual void OnAVPlayRes(int code, const char* msg) {}
    virtual void OnAVConfRes(int code, const char* msg, int fps, int bitrate, int width, int height) {}
    virtual void OnVideoSizeChange(int width, int height) {}
    virtual void OnOutMic(bool on, int samples) {}
    virtual void OnOutCamera(int type, bool on, uint16_t width, uint16_t height) {}
    virtual void OnSetRotationRes(int code) {}
    virtual void OnDelay(uint32_t delayMs) {}
    virtual ~IQVPhoneNotic() = default;
};

// Results are 0 for success and -1 for failure unless said otherwise. Input
// and display operations need an initialised SDK whose stream is playing.
class HANDSET_SDK_API IHandsetSdk {
public:
    static std::shared_ptr<IHandsetSdk> CreateQVPhone();
    // Linux input key code of a Windows virtual key; 0xF0 for a key without one.
    static uint8_t GetAndroidKeyCodeWithWinKey(uint8_t winKey);
    // Samples per channel in one microphone capture block.
    static int GetMicCaptureSampleCount(capture::emCAPTURE_TYPE type, int sampleRate);
    // Logging of the whole process; null takes the defaults (name "HANDSET_SDK").
    static void SetLogParam(QvLogParam* param);

    // video, sys and out may be null (defaults). The records are copied.
    virtual int Init(std::shared_ptr<IQVPhoneNotic> notic, const QvDataParam* data, const QvPhoneParam* video,
                     const QvSysParam* sys, const QVOutParam* out) = 0;
    // Releases held keys, stops decoding and the session. Returns 0, or the
    // state found when the SDK was not initialised.
    virtual int Uninit() = 0;
    virtual int Start() = 0;
    // Show mode: draws into window inside rect, turned by mode quarter turns.
    // Later calls only move the picture or change the turn.
    virtual int StartShow(HWND window, const RECT* rect, int mode) = 0;
    // Out mode: decoded frames go to OnVideoFrame and OnAudioFrame.
    virtual int StartOut() = 0;
    virtual int SetOutSize(int width, int height) = 0;
    // Keeps source as the camera or microphone producer (by its capture type,
    // replacing and detaching the one before) and attaches it; its frames go
    // uplink while the phone has that device switched on, and the phone's
    // off switch detaches and forgets it. -1 for an empty pointer, before the
    // stream plays, or when the producer cannot start (its Attach failed).
    virtual int SetCaptureSource(std::shared_ptr<capture::ICaptureSource> source, void* extra) = 0;
    // Forgets and detaches source.
    virtual int ResetCaptureSource(std::shared_ptr<capture::ICaptureSource> source) = 0;
    // action 0 down, 1 up, 2 move; window coordinates (show mode).
    virtual int SendTouch(uint32_t action, const int* xs, const int* ys, int count) = 0;
    // Phone coordinates.
    virtual int SendTouchRaw(uint32_t action, const int* xs, const int* ys, int count) = 0;
    // Converts *count points (one when count is null) from window to phone
    // coordinates in place, as SendTouch does; dropped points shrink *count.
    virtual void ConvertPoint(int action, int* xs, int* ys, int* count) = 0;
    virtual int SendKey(uint32_t down, uint32_t winKey) = 0;
    // Window messages 258 (character in wParam) and 270 (IME text committed,
    // UTF-8 text in lParam as a const char*).
    virtual int OnImeMessage(int message, uint64_t wParam, uint64_t lParam, char* echo, uint32_t echoSize) = 0;
    // 0 home, 1 back, 2 menu.
    virtual int SendControlKey(int which) = 0;
    // Non-zero: volume up.
    virtual int SendVolume(uint32_t which) = 0;
    virtual int SendLocation(float p1, float p2, float p3, float p4, float p5, float p6, float p7, float p8) = 0;
    virtual int SendSensor(uint32_t type, float x, float y, float z) = 0;
    virtual int SendMsgTrans(const char* service, const char* msg) = 0;
    virtual int SendCopyString(const char* text) = 0;
    virtual int SendInputString(const char* text) = 0;
    // value: play control sent to the phone when it changes; audio 0 drops the sound.
    virtual int SetPlayControl(uint8_t value, uint8_t audio) = 0;
    virtual int SetVideoParam(uint32_t fps, uint32_t bitrate, uint32_t width, uint32_t height) = 0;
    virtual int SetRotation(uint32_t a, uint32_t b) = 0;
    virtual int SetInputMode(uint32_t mode) = 0;
    virtual ~IHandsetSdk() = default;

    // Addition of this project, after the designed operations (their slot
    // order is unchanged): fills stats with the session's figures
    // (handset_stats.h). 0, or -1 for null or an SDK that is not initialised.
    virtual int GetStatistics(QvPhoneStats* stats) = 0;
};

}  // namespace handset_sdk
