#include "request_bodies.h"

#include <iterator>

namespace plat_client {
namespace {

const char* const kMetricNames[] = {"ERROR_INFO", "STAT_INFO"};
const char* const kCollectNames[] = {"SDK_ERROR",  "START_PLAY",    "FIRST_FRAME", "RECONNECT",         "END_PLAY",
                                     "API_ERROR", "CONNECT_ERROR", "PLAY_ERROR",  "IMG_DOWNLOAD_ERROR"};
const char* const kBusinessNames[] = {"CLOUD_GAME", "CLOUD_PHONE"};

template <size_t N>
bool InRange(int32_t index, const char* const (&)[N]) {
    return index >= 0 && static_cast<size_t>(index) < N;
}

Json::Value StringArray(const std::vector<std::string>& items) {
    Json::Value array(Json::arrayValue);
    for (const auto& item : items) array.append(item);
    return array;
}

}  // namespace

Json::Value PhoneConnectBody(const std::string& userId, const std::string& instanceNo,
                             const std::string& clientTicket, const std::string& sdkStreamLevel) {
    Json::Value body(Json::objectValue);
    body["userId"] = userId;
    body["instanceNo"] = instanceNo;
    body["clientTicket"] = clientTicket;
    if (!sdkStreamLevel.empty()) body["sdkStreamLevel"] = sdkStreamLevel;
    return body;
}

Json::Value RefreshSessionBody(const std::string& sessionId) {
    Json::Value body(Json::objectValue);
    body["sessionId"] = sessionId;
    return body;
}

Json::Value GroupControlBody(const std::string& userId, const std::vector<std::string>& instanceNos,
                             const std::string& clientTicket) {
    Json::Value body(Json::objectValue);
    body["userId"] = userId;
    body["instanceNos"] = StringArray(instanceNos);
    body["clientTicket"] = clientTicket;
    return body;
}

Json::Value ScreenshotBody(const ScreenshotReq& request, const std::vector<std::string>& instanceNos) {
    Json::Value body(Json::objectValue);
    body["instanceNos"] = StringArray(instanceNos);
    body["pictureQuality"] = request.pictureQuality;
    body["pictureScale"] = request.pictureScale;
    body["pictureRotate"] = request.pictureRotate;
    body["intervalTime"] = request.intervalTime;
    return body;
}

bool MessageCollectIndexesValid(const MessageCollect& message) {
    return InRange(message.metric, kMetricNames) && InRange(message.collectType, kCollectNames) &&
           InRange(message.businessType, kBusinessNames);
}

Json::Value MessageCollectBody(const MessageCollect& m, int64_t collectTimeMs) {
    Json::Value data(Json::objectValue);
    data["sessionId"] = m.sessionId;
    data["instanceNo"] = m.instanceNo;
    data["protocolType"] = m.protocolType;
    data["controlIp"] = m.controlIp;
    data["port"] = m.port;
    data["errorCode"] = m.errorCode;
    data["sdkType"] = m.sdkType;
    data["sdkVersion1"] = m.sdkVersion1;
    data["sdkVersion2"] = m.sdkVersion2;
    data["startPlayTime"] = Json::Int64(m.startPlayTime);
    data["firstFrameTime"] = Json::Int64(m.firstFrameTime);
    data["endPlayTime"] = Json::Int64(m.endPlayTime);
    data["reconnectCount"] = m.reconnectCount;
    data["reconnectStartTime"] = Json::Int64(m.reconnectStartTime);
    data["reconnectFailTime"] = Json::Int64(m.reconnectFailTime);
    data["reconnectSuccessTime"] = Json::Int64(m.reconnectSuccessTime);
    data["reconnectResult"] = m.reconnectResult;
    data["requestUrl"] = m.requestUrl;
    data["responseBody"] = m.responseBody;
    data["appName"] = m.appName;

    Json::Value osInfo(Json::objectValue);
    osInfo["isPc"] = true;

    Json::Value body(Json::objectValue);
    body["metricType"] = kMetricNames[m.metric];
    body["collectTime"] = Json::Int64(collectTimeMs);
    body["collectSource"] = "WINDOWS_SDK";
    body["collectType"] = kCollectNames[m.collectType];
    body["businessType"] = kBusinessNames[m.businessType];
    body["data"] = data;
    body["osInfo"] = osInfo;
    return body;
}

}  // namespace plat_client
