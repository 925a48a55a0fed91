#pragma once
// The session data hub: from an instance number and credentials to a playing
// stream link, with session renewal and statistics. Operations may be called
// from any thread; notifications arrive on the platform client's and the
// stream link's loop threads.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "common/qv_log.h"

#define DATA_HUB_API __attribute__((visibility("default")))

namespace data_hub {

enum QvVideoFormat { QV_VIDEO_FORMAT_H264 = 264, QV_VIDEO_FORMAT_H265 = 265 };

struct QvVideoParam {
    int32_t format = QV_VIDEO_FORMAT_H264;  // 264 or 265
    uint16_t width = 720;                   // 100 .. 4096
    uint16_t height = 1280;                 // 100 .. 4096
    int32_t fps = 30;                       // at most 60
    int32_t bitrate = 2048;
};

struct QvDataSystemParam {
    int32_t reconnect = 1;                // non-zero: the stream link reconnects by itself
    uint32_t wsConnectTimeoutMs = 5000;   // 1000 .. 30000
    uint32_t reconnectIntervalMs = 3000;  // 1000 .. 60000 when reconnect is on
    int32_t secure = 1;                   // non-zero: wss://, zero: ws://
    uint32_t httpConnectTimeoutMs = 5000; // 1000 .. 30000
    uint32_t httpTimeoutMs = 5000;        // 1000 .. 60000
};

// Result codes of IDataHubNotic::OnStatus besides the platform's own.
enum DataHubStatus {
    QV_STATUS_SUCCESS = 0,
    QV_STATUS_WS_INIT_FAILED = 60701001,
    QV_STATUS_WS_DISCONNECT = 60701002,
    QV_STATUS_WS_CONNECTING = 60701003,
    QV_STATUS_PHONE_CONNECT_FAILED = 60702001,
    QV_STATUS_PHONE_CONNECT_NOT_200 = 60702002,
    QV_STATUS_REFRESH_FAILED = 60702003,
    QV_STATUS_REFRESH_NOT_200 = 60702004,
};

// The text that goes with a status code ("" for codes not in the table).
DATA_HUB_API const char* StatusText(int code);

// Implemented by the user. Texts and buffers are valid during the call only.
class DATA_HUB_API IDataHubNotic {
public:
    virtual void OnStatus(int code, const char* msg) {}
    virtual void OnSessionError(int code, const char* msg) {}
    virtual void OnPlayRes(int code, const char* msg, int videoCodec, int bitrate, int fps, int width, int height,
                           int audioCodec, int sampleRate, int channels) {}
    virtual void OnVideoData(uint64_t first, uint64_t second, const uint8_t* data, uint32_t length) {}
    virtual void OnAudioData(const uint8_t* data, uint32_t length) {}
    virtual void OnMsgTransRes(int code, const char* service, const char* msg) {}
    virtual void OnMsgTransReq(const char* service, const char* msg) {}
    virtual void OnOutSensor(int type, bool on) {}
    virtual void OnOutCopy(const char* text) {}
    virtual void OnCursor(bool shown) {}
    virtual void OnOutScreen(int rotation, int fps, int bitrate, int width, int height) {}
    virtual void OnAVPlayRes(int code, const char* msg) {}
    virtual void OnAVConfRes(int code, const char* msg, int fps, int bitrate, int width, int height) {}
    virtual void OnOutMic(bool on, int samples) {}
    virtual void OnOutCamera(int type, bool on, uint16_t width, uint16_t height) {}
    virtual void OnSetRotationRes(int code) {}
    virtual void OnDelay(uint32_t delayMs) {}
    virtual ~IDataHubNotic() = default;
};

// Results are 0 for success and -1 for failure. The Send operations need an
// initialised and started hub and return what the stream link returns.
class DATA_HUB_API IDataHub {
public:
    static std::shared_ptr<IDataHub> Create();
    // Logging of the whole process; null takes the defaults (name "DATA_HUB").
    static void SetLogParam(QvLogParam* param);

    // baseUrl may be empty: the built-in platform address (or TESSIVO_PLATFORM_URL).
    // mode: 0 cloud phone, non-zero cloud game. system may be null (defaults).
    virtual int Init(const char* baseUrl, const char* userId, const char* accessKey, const char* secretKey,
                     const char* instanceNo, int mode, std::shared_ptr<IDataHubNotic> notic,
                     const QvVideoParam* video, const QvDataSystemParam* system) = 0;
    virtual int UnInit() = 0;
    virtual int Start() = 0;
    virtual int SendInTouchReq(uint32_t action, const uint32_t* xs, const uint32_t* ys, int count) = 0;
    virtual int SendInKeyReq(uint8_t flag, uint8_t key) = 0;
    virtual int SendInLocationReq(float p1, float p2, float p3, float p4, float p5, float p6, float p7,
                                  float p8) = 0;
    virtual int SendInSensorReq(uint32_t type, float x, float y, float z) = 0;
    virtual int SendMsgTransReq(const char* service, const char* msg) = 0;
    virtual int SendCopyStringReq(const char* text) = 0;
    virtual int SendInputStringReq(const char* text) = 0;
    virtual int SendPlayControlReq(uint8_t first, uint8_t second) = 0;
    virtual int SendSetVideoParamReq(int fps, uint32_t bitrate, uint32_t width, uint32_t height) = 0;
    virtual int SendInMicParamReq(uint32_t a, uint32_t b, uint32_t c) = 0;
    virtual int SendInMicDataReq(const void* data, size_t length) = 0;
    // A format of 265 is refused: the camera uplink is H.264 only.
    virtual int SendInCameraParamReq(uint32_t format, uint32_t b, uint32_t c, const void* blob, int blobLength) = 0;
    virtual int SendInCameraDataReq(const void* data, size_t length) = 0;
    virtual int SendSetRotationReq(uint32_t a, uint32_t b) = 0;
    virtual int SendInputModeReq(uint32_t mode) = 0;
    virtual ~IDataHub() = default;
};

// Statistics reports of the session; the same object as its IDataHub.
class DATA_HUB_API IQVInternalDataInterface : public virtual IDataHub {
public:
    static std::shared_ptr<IQVInternalDataInterface> CreateInternalDataInterface();
    // metric 0 error / 1 statistic; collectType as the platform's table; errorCode 0 sends "".
    virtual void ReportStat(int metric, int collectType, int errorCode, const char* requestUrl,
                            const char* responseBody) = 0;
    virtual void SetSdkVersion1(const char* text) = 0;
};

// A keep-alive request on the stream link; the same object as its IDataHub.
class DATA_HUB_API IQVDataDummyReqInterface : public virtual IDataHub {
public:
    virtual int SendDummyReq() = 0;
};

}  // namespace data_hub
