#pragma once
// Many cloud phones at once: one main phone streamed and played through the
// handset SDK, the others ("followers") controlled through group-control
// nodes and shown as screenshots. Every input given to this object goes to
// the main phone and, through the nodes, to every follower.
//
// Operations may be called from any thread. Notifications arrive on the
// platform client's and the node links' loop threads (and, for the main
// phone, on the handset SDK's threads).
#include <cstddef>
#include <cstdint>
#include <memory>

#include "capture/capture_notify.h"
#include "common/qv_log.h"
#include "fleet_link/fleet_link_records.h"
#include "handset_sdk/handset_sdk.h"
#include "mosaic_sdk/mosaic_node_status.h"
#include "mosaic_sdk/mosaic_stats.h"

#define MOSAIC_SDK_API __attribute__((visibility("default")))

namespace mosaic_sdk {

using handset_sdk::HWND;
using handset_sdk::IQVPhoneNotic;
using handset_sdk::QvDataParam;
using handset_sdk::QvPhoneParam;
using handset_sdk::QvSysParam;
using handset_sdk::QVOutParam;
using handset_sdk::RECT;
using fleet_link::EErrorType;
using fleet_link::InstanceErrorInfo;
using fleet_link::InstanceInput;

// Group-control settings; the member initialisers are the defaults used when
// Init gets a null record.
struct QvPicGCSysParam {
    bool autoReconnect = true;        // node links reconnect after a loss
    int32_t connectTimeoutMs = 5000;  // node link connect time-out
    int32_t reconnectIntervalMs = 3000;
    bool secureWebSocket = true;      // "wss://" to the nodes, else "ws://"
    int32_t apiConnectTimeoutMs = 5000;
    int32_t apiTimeoutMs = 5000;
    int32_t picMode = 0;              // 0 hand out picture URLs, 1 hand out picture bytes (FlushPic)
    int32_t picQuality = 25;          // 1 to 100
    int32_t picScale = 5;             // 1 to 5
    int32_t picRotate = 0;            // 0, 90, 180 or 270
    int32_t intervalMs = 1000;        // at least 200; also the FlushPic rate limit
};

// One instance of the group, as QueryInstanceStatus reports it.
struct InstanceStatusInfo {
    char instanceNo[256];
    int32_t state;      // the node's status value; 4 for instances the platform refused
    int32_t width;
    int32_t height;
    int32_t errCode;    // the refusal code for refused instances
    bool isProxy;
    char nodeNo[256];   // node that serves it; empty when refused
    char picUrl[256];   // last screenshot URL
    char sessionId[256];
};

// One picture of a screenshot answer.
struct PicInfo {
    char instanceNo[256];
    char picUrl[256];
};

// Codes of OnErrorNotic (platform answer codes are passed through as well).
enum MosaicErrorCode : int {
    MOSAIC_SUCCESS = 0,
    MOSAIC_GC_CONNECT_FAILED = 60710001,
    MOSAIC_GC_CONNECT_NOT_200 = 60710002,
    MOSAIC_SCREENSHOT_FAILED = 60710003,
    MOSAIC_SCREENSHOT_NOT_200 = 60710004,
    MOSAIC_GC_NO_NODE = 60711001,
    MOSAIC_GC_ADD_NODES_FAILED = 60711002,
};

// The fixed text of a code above; "" for other codes.
MOSAIC_SDK_API const char* MosaicErrorText(int code);

// Implemented by the application; every operation has an empty default.
// Texts and arrays are valid during the call only.
class MOSAIC_SDK_API IPicGCNotic {
public:
    // The start's result (0, "success") and failures (codes above).
    virtual void OnErrorNotic(int code, const char* msg, void* userData);
    // An error a group-control node reported.
    virtual void OnGCErrorNotic(EErrorType type, int code, const char* msg, const InstanceErrorInfo* infos,
                                size_t count, void* userData);
    virtual void OnQueryInstanceStatus(const char* mainInstanceNo, const InstanceStatusInfo* infos, size_t count,
                                       void* userData);
    // URL mode: the pictures of the screenshot answer, once per start.
    virtual void OnPicUrlNotic(PicInfo* infos, size_t count, void* userData);
    // Data mode: one downloaded picture (JPEG bytes) per follower after FlushPic.
    virtual void OnPicData(const char* instanceNo, const char* data, size_t length, void* userData);
    virtual ~IPicGCNotic();

    // Addition of this project, after the designed slots (the destructor's
    // included): the node table that QueryNodeStatus asked for
    // (mosaic_node_status.h), on the caller's thread.
    virtual void OnQueryNodeStatus(const NodeStatusInfo* infos, size_t count, void* userData);
};

// Results are 0 for success and -1 for a refused call unless said otherwise.
// Objects are owned through the shared pointer CreateMosaicSdk returns; the
// destructor is not virtual and therefore not public.
class MOSAIC_SDK_API IMosaicSdk {
public:
    static std::shared_ptr<IMosaicSdk> CreateMosaicSdk();
    // Logging of the whole process; null takes the defaults (name "MOSAIC_SDK").
    static void SetLogParam(QvLogParam* param);
    // As IHandsetSdk::GetMicCaptureSampleCount.
    static int GetMicCaptureSampleCount(capture::emCAPTURE_TYPE type, int value);

    IMosaicSdk() = default;
    IMosaicSdk(const IMosaicSdk&) = default;
    IMosaicSdk& operator=(const IMosaicSdk&) = default;

    // 1. data: platform base URL, user id, access key and secret key must be
    // non-empty; its instance number is the main phone (may be empty: no main
    // phone). gcParam, phoneParam, sysParam and outParam may be null (defaults).
    virtual int Init(std::shared_ptr<IQVPhoneNotic> phoneNotic, std::shared_ptr<IPicGCNotic> notic,
                     const QvDataParam* data, const QvPicGCSysParam* gcParam, const QvPhoneParam* phoneParam,
                     const QvSysParam* sysParam, const QVOutParam* outParam, void* userData) = 0;
    // 2. Returns 0, or the state found when the object was not initialised.
    virtual int Uninit() = 0;
    // 3. Asks the platform for group control of the instances (main phone
    // included); the end of the start is reported with OnErrorNotic.
    virtual int Start(const char* const* instanceNos, uint32_t count) = 0;
    // 4. and 5. Resume and pause input to these followers.
    virtual int AddInstance(const char* const* instanceNos, uint32_t count) = 0;
    virtual int ReduceInstance(const char* const* instanceNos, uint32_t count) = 0;
    // 6. Reports the instance table through OnQueryInstanceStatus.
    virtual int QueryInstanceStatus() = 0;
    // 7. Data mode: downloads every follower's picture (at most once per interval).
    virtual int FlushPic() = 0;
    // 8. Makes another instance the main phone ("" leaves none).
    virtual int SwitchMain(const char* newMainInstanceNo) = 0;
    // 9. to 13. The main phone's display and capture.
    virtual int StartShow(HWND window, const RECT* rect, int mode) = 0;
    virtual int StartOut() = 0;
    virtual int SetOutSize(int width, int height) = 0;
    virtual int SetCaptureSource(std::shared_ptr<capture::ICaptureSource> source, void* extra) = 0;
    virtual int ResetCaptureSource(std::shared_ptr<capture::ICaptureSource> source) = 0;
    // 14. Touch in the main phone's window coordinates (type 0 down, 1 up,
    // 2 move); needs a main phone.
    virtual int SendTouch(uint32_t type, const int* xs, const int* ys, int count) = 0;
    // 15. Touch in phone coordinates.
    virtual int SendTouchRaw(uint32_t type, const int* xs, const int* ys, int count) = 0;
    // 16. *key is the Windows virtual-key code.
    virtual int SendKey(uint32_t isDown, const uint8_t* key) = 0;
    // 17. Window messages 258 and 270 as IHandsetSdk::OnImeMessage; the text
    // the main phone sent goes to the followers.
    virtual int OnImeMessage(int message, uint64_t wParam, uint64_t lParam, char* echo, uint32_t echoSize) = 0;
    // 18. 0 home, 1 back, 2 menu.
    virtual int SendControlKey(int key) = 0;
    // 19. Non-zero: volume up.
    virtual int SendVolume(uint32_t up) = 0;
    // 20. Followers receive p1 as longitude and p2 as latitude.
    virtual int SendLocation(float p1, float p2, float p3, float p4, float p5, float p6, float p7, float p8) = 0;
    virtual int SendSensor(uint32_t type, float x, float y, float z) = 0;  // 21.
    virtual int SendMsgTrans(const char* service, const char* msg) = 0;    // 22.
    virtual int SendCopyString(const char* text) = 0;                      // 23. clipboard
    virtual int SendInputString(const char* text) = 0;                     // 24. text
    // 25. and 26. Text for single followers; infos is a contiguous array.
    virtual int InputInstanceInput(const InstanceInput* infos, uint32_t count) = 0;
    virtual int InputInstanceClipboard(const InstanceInput* infos, uint32_t count) = 0;

    // Addition of this project, after the designed operations (their slot
    // order is unchanged): the main phone's figures and the group's
    // (mosaic_stats.h). 0, or -1 for null or an object not initialised.
    virtual int GetStatistics(QvPicGCStats* stats) = 0;
    // Addition of this project, after GetStatistics: reports every node's
    // link state through OnQueryNodeStatus before it returns (none before
    // the platform answered the start). 0, or -1 for an object not initialised.
    virtual int QueryNodeStatus() = 0;

protected:
    ~IMosaicSdk() = default;
};

}  // namespace mosaic_sdk
