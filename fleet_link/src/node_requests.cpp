#include "node_requests.h"

#include <cstring>

#include "json_text.h"

namespace fleet_link {

namespace {
constexpr int kClientType = 3;
}

std::string TextOf(const char* text) {
    return text ? std::string(text) : std::string();
}

std::string FieldText(const char (&field)[256]) {
    return std::string(field, strnlen(field, sizeof field));
}

Json::Value BuildRegisterReq(const std::string& sdkVersion) {
    Json::Value root(Json::objectValue);
    root["clientType"] = kClientType;
    root["sdkVersion"] = sdkVersion;
    return root;
}

Json::Value BuildHeartBeatReq(const std::string& connId, int64_t ts) {
    Json::Value root(Json::objectValue);
    root["connId"] = connId;
    root["ts"] = static_cast<Json::Int64>(ts);
    return root;
}

Json::Value BuildHeartBeatRsp(const std::string& connId, int64_t delay) {
    Json::Value root(Json::objectValue);
    root["connId"] = connId;
    root["delay"] = static_cast<Json::Int64>(delay);
    return root;
}

Json::Value BuildStartControlReq(const std::string& connId, const char* mainInstanceNo,
                                 const StreamConf& streamConf, const ControlInstance* instances, uint32_t count) {
    Json::Value root(Json::objectValue);
    root["connId"] = connId;
    root["mainInstanceNo"] = TextOf(mainInstanceNo);
    Json::Value list(Json::arrayValue);
    for (uint32_t i = 0; i < count; ++i) {
        Json::Value item(Json::objectValue);
        item["uid"] = FieldText(instances[i].uid);
        item["sessionId"] = FieldText(instances[i].sessionId);
        item["instanceNo"] = FieldText(instances[i].instanceNo);
        list.append(item);
    }
    root["instanceList"] = list;
    Json::Value conf(Json::objectValue);
    conf["app"] = FieldText(streamConf.app);
    conf["ext"] = FieldText(streamConf.ext);
    conf["width"] = static_cast<Json::UInt>(streamConf.width);
    conf["height"] = static_cast<Json::UInt>(streamConf.height);
    root["streamConf"] = conf;
    return root;
}

Json::Value BuildInstanceListReq(const std::string& connId, const char* const* instanceNos, uint32_t count) {
    Json::Value root(Json::objectValue);
    root["connId"] = connId;
    Json::Value list(Json::arrayValue);
    for (uint32_t i = 0; i < count; ++i) {
        Json::Value item(Json::objectValue);
        item["instanceNo"] = TextOf(instanceNos[i]);
        list.append(item);
    }
    root["instanceList"] = list;
    return root;
}

Json::Value BuildConnIdReq(const std::string& connId) {
    Json::Value root(Json::objectValue);
    root["connId"] = connId;
    return root;
}

Json::Value BuildSwitchMainReq(const std::string& connId, const char* newMainInstanceNo) {
    Json::Value root(Json::objectValue);
    root["connId"] = connId;
    root["newMainInstanceNo"] = TextOf(newMainInstanceNo);
    return root;
}

Json::Value BuildInputReq(const std::string& connId, int opType, const Json::Value& opData) {
    Json::Value root(Json::objectValue);
    root["connId"] = connId;
    root["opType"] = opType;
    root["opData"] = WriteCompactJson(opData);
    return root;
}

}  // namespace fleet_link
