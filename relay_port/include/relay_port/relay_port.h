#pragma once
// The stream signalling link: one WebSocket conversation with a cloud phone's
// stream server (auth, play, delay probe, reconnection, input and output
// messages). Operations may be called from any thread; every notification
// runs on the link's own engine loop thread.
#include <cstddef>
#include <cstdint>
#include <memory>

#define RELAY_PORT_API __attribute__((visibility("default")))

namespace relay_port {

// Parameter records are passed by pointer to Init and copied. Text fields are
// NUL-terminated.
struct WsAuthParam {
    char sessionId[256];   // must be non-empty
    char instanceNo[256];  // must be non-empty
    char version[256];
    uint32_t authType;  // schema default 1
    uint32_t authArg;
    char authExtra[256];
    uint32_t authMode;
    int64_t timestamp;  // overwritten with the send time by every auth request
};

struct WsVideoParam {
    uint32_t codec;
    uint16_t width;   // 100 .. 4096
    uint16_t height;  // 100 .. 4096
    uint16_t fps;     // at most 60
    uint32_t bitrate;
    char text1[256];  // sent in the play request
    char text2[256];
};

struct WsAudioParam {
    uint32_t codec;
    uint32_t sampleRate;  // 8000 .. 384000
    uint32_t channels;    // 1 .. 16
};

struct WsSystemParam {
    uint8_t reconnect;             // non-zero: reconnect automatically
    uint32_t connectTimeoutMs;     // 1000 .. 30000
    uint32_t reconnectIntervalMs;  // 1000 .. 60000
    uint32_t reserved;             // not used by the link
};

// Connection status values of OnConnectStatus.
enum WsConnectStatus { WS_STATUS_DISCONNECTED = 0, WS_STATUS_CONNECTING = 1, WS_STATUS_PLAYING = 2 };

// Implemented by the user. Texts and buffers are valid during the call only.
class RELAY_PORT_API IRelayPortNotic {
public:
    virtual void OnConnectStatus(int status) = 0;
    virtual void OnPlayRes(int code, const char* msg, int videoCodec, int bitrate, int fps, int width, int height,
                           int audioCodec, int sampleRate, int channels) {}
    virtual void OnMsgTransRes(int code, const char* service, const char* msg) {}
    virtual void OnMsgTransReq(const char* service, const char* msg) {}
    virtual void OnOutSensor(int type, bool on) {}
    virtual void OnOutCopy(const char* text) {}
    virtual void OnOutScreen(int rotation, int fps, int bitrate, int width, int height) {}
    virtual void OnAVPlayRes(int code, const char* msg) {}
    virtual void OnAVConfRes(int code, const char* msg, int fps, int bitrate, int width, int height) {}
    virtual void OnOutMic(bool on, int samples) {}
    virtual void OnOutCamera(int type, bool on, uint16_t width, uint16_t height) {}
    virtual void OnDelay(uint32_t delayMs) {}
    virtual void OnOfferRes(int code, const char* msg, const char* offer) {}
    virtual void OnAnswerRes(int code, const char* msg) {}
    virtual void OnCandidateRes(int code, const char* msg) {}
    virtual void OnCandidateReq(int mlineIndex, const char* mid, const char* candidate) {}
    virtual void OnAppEvent(int type, bool state) {}
    virtual void OnCloudNotify(int type, const char* msg) {}
    virtual void OnError(int code, const char* msg) {}
    virtual void OnVideoData(uint64_t first, uint64_t second, const uint8_t* data, uint32_t length) {}
    virtual void OnAudioData(const uint8_t* data, uint32_t length) {}
    virtual void OnCursor(bool shown) {}
    virtual void OnSetRotationRes(int code) {}
    virtual ~IRelayPortNotic() = default;
};

// Results are 0 for success and -1 for failure.
class RELAY_PORT_API IRelayPort {
public:
    static std::shared_ptr<IRelayPort> Create();

    IRelayPort() = default;
    IRelayPort(const IRelayPort&) = default;
    IRelayPort& operator=(const IRelayPort&) = default;

    virtual int Init(const char* user, const char* url, const WsAuthParam* auth, const WsVideoParam* video,
                     const WsAudioParam* audio, const WsSystemParam* system,
                     std::shared_ptr<IRelayPortNotic> notic) = 0;
    virtual int UnInit() = 0;
    virtual int UpdateSessionId(const char* sessionId) = 0;
    virtual int SendInKeyReq(uint8_t flag, uint8_t key) = 0;
    // At most 8 points are sent; moves (action 2) within 20 ms of the last one are dropped.
    virtual int SendInTouchReq(uint32_t action, const uint32_t* xs, const uint32_t* ys, int count) = 0;
    virtual int SendInLocationReq(float p1, float p2, float p3, float p4, float p5, float p6, float p7,
                                  float p8) = 0;
    virtual int SendInSensorReq(uint32_t type, float x, float y, float z) = 0;
    virtual int SendMsgTransReq(const char* service, const char* msg) = 0;
    // Texts of at most 1048576 bytes.
    virtual int SendCopyStringReq(const char* text) = 0;
    virtual int SendInputStringReq(const char* text) = 0;
    virtual int SendMsgTransRes(const char* msg, int code) = 0;
    virtual int SendPlayControlReq(uint8_t first, uint8_t second) = 0;
    virtual int SendSetVideoParamReq(int fps, uint32_t bitrate, uint32_t width, uint32_t height) = 0;
    virtual int SendInMicParamReq(uint32_t a, uint32_t b, uint32_t c) = 0;
    virtual int SendInMicDataReq(const void* data, size_t length) = 0;
    virtual int SendInCameraParamReq(uint32_t a, uint32_t b, uint32_t c, const void* blob, int blobLength) = 0;
    virtual int SendInCameraDataReq(const void* data, size_t length) = 0;
    virtual int SendSetRotationReq(uint32_t a, uint32_t b) = 0;
    virtual int SendInputModeReq(uint32_t mode) = 0;
    virtual int SendDummyReq() = 0;
    virtual int SendWRAnswerReq(const char* sdp) = 0;
    virtual int SendWRCandidateReq(uint32_t mlineIndex, const char* mid, const char* candidate) = 0;
    virtual ~IRelayPort() = default;
};

}  // namespace relay_port
