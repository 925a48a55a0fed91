#pragma once
// Request and response records of the platform REST API client.
#include <cstdint>
#include <string>
#include <vector>

namespace plat_client {

// Fields every response record starts with.
struct RspHead {
    std::string path;  // the request's path, filled before delivery
    int32_t code = 0;  // "code"
    std::string msg;   // "msg"
};

// One streaming session: the "data" of a phone-connect answer, or one element
// of a group-control answer's "successList".
struct SessionRecord {
    std::string sessionId;
    std::string instanceNo;
    std::string userId;
    std::string appPackage;
    int64_t sessionSignExpireTime = 0;  // sent as a decimal string; 0 when absent or not a number
    int64_t sessionExpireTime = 0;      // same
    std::string tcpDomain;              // "streamInfo" members from here
    int32_t tcpPort = 0;
    std::string udpDomain;
    int32_t udpPort = 0;
    std::string webSocketDomain;
    int32_t webSocketPort = 0;
    std::vector<int32_t> streamStrategyList;
    std::string gCtrlNodeNo;  // group-control elements only
    bool preemption = false;
};

struct PhoneConnectRsp : RspHead, SessionRecord {};

struct RefreshSessionRsp : RspHead {
    std::string sessionId;
    int64_t sessionSignExpireTime = 0;
};

struct GroupControlFailItem {
    std::string instanceNo;
    int32_t errorCode = 0;
    std::string errorMsg;
};

struct IdcServerNodeItem {
    std::string idcServerNodeNo;
    std::string nodeIp;
    int32_t nodePort = 0;
};

struct PhoneGroupControlConnectRsp : RspHead {
    std::vector<SessionRecord> successList;
    std::vector<GroupControlFailItem> failList;
    std::vector<IdcServerNodeItem> idcServerNodeList;
};

struct ScreenshotReq {
    int32_t pictureQuality = 0;
    int32_t pictureScale = 0;
    int32_t pictureRotate = 0;
    int32_t intervalTime = 0;
};

// Laid out like mosaic_sdk's PicInfo: two NUL-terminated texts of at most 255 bytes.
struct ScreenshotItem {
    char instanceNo[256];
    char picUrl[256];
};

struct ScreenshotRsp : RspHead {
    std::vector<ScreenshotItem> data;  // one per element of the answer's "data" array
};

struct SecurityTokenRsp : RspHead {
    std::string accessKey;
    std::string accessSecretKey;
};

struct MessageCollectRsp : RspHead {};

// One statistics event. Times are milliseconds since 1970 UTC, 0 = not happened.
struct MessageCollect {
    int32_t metric = 0;        // 0 "ERROR_INFO", 1 "STAT_INFO"
    int32_t collectType = 0;   // 0 "SDK_ERROR" ... 8 "IMG_DOWNLOAD_ERROR"
    int32_t businessType = 0;  // 0 "CLOUD_GAME", 1 "CLOUD_PHONE"
    std::string sessionId;
    std::string instanceNo;
    std::string protocolType;
    std::string controlIp;
    std::string port;
    std::string errorCode;
    std::string sdkType;
    std::string sdkVersion1;
    std::string sdkVersion2;
    int64_t startPlayTime = 0;
    int64_t firstFrameTime = 0;
    int64_t endPlayTime = 0;
    int32_t reconnectCount = 0;
    int64_t reconnectStartTime = 0;
    int64_t reconnectFailTime = 0;
    int64_t reconnectSuccessTime = 0;
    int32_t reconnectResult = 0;
    std::string requestUrl;
    std::string responseBody;
    std::string appName;
};

}  // namespace plat_client
