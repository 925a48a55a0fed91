#include "body_checks.h"

#include <set>
#include <utility>
#include <vector>

namespace platform_peer {
namespace {

enum class Kind { String, Int, Bool, StringArray, Object };

const char* KindName(Kind kind) {
    switch (kind) {
        case Kind::String: return "string";
        case Kind::Int: return "integer";
        case Kind::Bool: return "bool";
        case Kind::StringArray: return "array of strings";
        case Kind::Object: return "object";
    }
    return "?";
}

bool HasKind(const Json::Value& value, Kind kind) {
    switch (kind) {
        case Kind::String: return value.isString();
        case Kind::Int: return value.isIntegral() && !value.isBool();
        case Kind::Bool: return value.isBool();
        case Kind::Object: return value.isObject();
        case Kind::StringArray:
            if (!value.isArray()) return false;
            for (const auto& item : value) {
                if (!item.isString()) return false;
            }
            return true;
    }
    return false;
}

struct KeySpec {
    const char* key;
    Kind kind;
    bool required;
};

// The object must hold every required key, no key outside specs, each of its kind.
std::string CheckObject(const Json::Value& object, const std::string& where, const std::vector<KeySpec>& specs) {
    if (!object.isObject()) return where + " is not a JSON object";
    std::set<std::string> known;
    for (const auto& spec : specs) {
        known.insert(spec.key);
        if (!object.isMember(spec.key)) {
            if (spec.required) return where + " lacks \"" + spec.key + "\"";
            continue;
        }
        if (!HasKind(object[spec.key], spec.kind)) {
            return where + " \"" + spec.key + "\" is not a " + KindName(spec.kind);
        }
    }
    for (const auto& name : object.getMemberNames()) {
        if (known.count(name) == 0) return where + " has unexpected key \"" + name + "\"";
    }
    return "";
}

std::string CheckOneOf(const Json::Value& body, const char* key, const std::set<std::string>& allowed) {
    const std::string value = body[key].asString();
    if (allowed.count(value) == 0) return std::string("body \"") + key + "\" has unknown value \"" + value + "\"";
    return "";
}

}  // namespace

std::string CheckPhoneConnectBody(const Json::Value& body) {
    std::string error = CheckObject(body, "body", {{"userId", Kind::String, true},
                                                   {"instanceNo", Kind::String, true},
                                                   {"clientTicket", Kind::String, true},
                                                   {"sdkStreamLevel", Kind::String, false}});
    if (error.empty() && body.isMember("sdkStreamLevel") && body["sdkStreamLevel"].asString().empty()) {
        error = "body \"sdkStreamLevel\" is present but empty";
    }
    return error;
}

std::string CheckRefreshSessionBody(const Json::Value& body) {
    return CheckObject(body, "body", {{"sessionId", Kind::String, true}});
}

std::string CheckGroupControlBody(const Json::Value& body) {
    return CheckObject(body, "body", {{"userId", Kind::String, true},
                                      {"instanceNos", Kind::StringArray, true},
                                      {"clientTicket", Kind::String, true}});
}

std::string CheckScreenshotBody(const Json::Value& body) {
    return CheckObject(body, "body", {{"instanceNos", Kind::StringArray, true},
                                      {"pictureQuality", Kind::Int, true},
                                      {"pictureScale", Kind::Int, true},
                                      {"pictureRotate", Kind::Int, true},
                                      {"intervalTime", Kind::Int, true}});
}

std::string CheckMessageCollectBody(const Json::Value& body) {
    std::string error = CheckObject(body, "body", {{"metricType", Kind::String, true},
                                                   {"collectTime", Kind::Int, true},
                                                   {"collectSource", Kind::String, true},
                                                   {"collectType", Kind::String, true},
                                                   {"businessType", Kind::String, true},
                                                   {"data", Kind::Object, true},
                                                   {"osInfo", Kind::Object, true}});
    if (!error.empty()) return error;
    error = CheckOneOf(body, "metricType", {"ERROR_INFO", "STAT_INFO"});
    if (error.empty()) {
        error = CheckOneOf(body, "collectType",
                           {"SDK_ERROR", "START_PLAY", "FIRST_FRAME", "RECONNECT", "END_PLAY", "API_ERROR",
                            "CONNECT_ERROR", "PLAY_ERROR", "IMG_DOWNLOAD_ERROR"});
    }
    if (error.empty()) error = CheckOneOf(body, "businessType", {"CLOUD_GAME", "CLOUD_PHONE"});
    if (error.empty() && body["collectSource"].asString() != "WINDOWS_SDK") {
        error = "body \"collectSource\" is not \"WINDOWS_SDK\"";
    }
    if (!error.empty()) return error;
    error = CheckObject(body["osInfo"], "osInfo", {{"isPc", Kind::Bool, true}});
    if (error.empty() && !body["osInfo"]["isPc"].asBool()) error = "osInfo \"isPc\" is not true";
    if (!error.empty()) return error;
    return CheckObject(body["data"], "data",
                       {{"sessionId", Kind::String, true},          {"instanceNo", Kind::String, true},
                        {"protocolType", Kind::String, true},       {"controlIp", Kind::String, true},
                        {"port", Kind::String, true},               {"errorCode", Kind::String, true},
                        {"sdkType", Kind::String, true},            {"sdkVersion1", Kind::String, true},
                        {"sdkVersion2", Kind::String, true},        {"startPlayTime", Kind::Int, true},
                        {"firstFrameTime", Kind::Int, true},        {"endPlayTime", Kind::Int, true},
                        {"reconnectCount", Kind::Int, true},        {"reconnectStartTime", Kind::Int, true},
                        {"reconnectFailTime", Kind::Int, true},     {"reconnectSuccessTime", Kind::Int, true},
                        {"reconnectResult", Kind::Int, true},       {"requestUrl", Kind::String, true},
                        {"responseBody", Kind::String, true},       {"appName", Kind::String, true}});
}

}  // namespace platform_peer
