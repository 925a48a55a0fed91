#include "cloudsim/fault_script.h"

namespace cloudsim {
namespace {

std::string ReadInt(const Json::Value& json, const char* key, int min, int max, int& out) {
    if (!json.isMember(key)) return "";
    const Json::Value& value = json[key];
    if (!value.isInt64() || value.isBool() || value.asInt64() < min || value.asInt64() > max) {
        return std::string("\"") + key + "\" must be an integer from " + std::to_string(min) + " to " +
               std::to_string(max);
    }
    out = value.asInt();
    return "";
}

std::string ReadBool(const Json::Value& json, const char* key, bool& out) {
    if (!json.isMember(key)) return "";
    if (!json[key].isBool()) return std::string("\"") + key + "\" must be true or false";
    out = json[key].asBool();
    return "";
}

std::string ReadString(const Json::Value& json, const char* key, std::string& out) {
    if (!json.isMember(key)) return "";
    if (!json[key].isString() || json[key].asString().size() > 1024) {
        return std::string("\"") + key + "\" must be a string of at most 1024 bytes";
    }
    out = json[key].asString();
    return "";
}

}  // namespace

std::string FaultScriptFromJson(const Json::Value& json, FaultScript& out) {
    if (!json.isObject()) return "a fault script is a JSON object";
    static const char* const kKnown[] = {"refuseCode",  "refuseMsg",        "httpStatus",         "delayMs",
                                         "apiCalls",    "dropAfterPackages", "errorCode",         "errorMsg",
                                         "errorAfterPackages", "noDelayEcho", "malformedPackages", "refuseUpgrade",
                                         "refuseUpgradeMs", "streamConnections", "instanceNo", "probeDelayMs"};
    for (const auto& name : json.getMemberNames()) {
        bool known = false;
        for (const char* key : kKnown) known = known || name == key;
        if (!known) return "unknown fault \"" + name + "\"";
    }
    FaultScript script;
    const int kBig = 1 << 30;
    std::string error = ReadInt(json, "refuseCode", -kBig, kBig, script.refuseCode);
    if (error.empty()) error = ReadString(json, "refuseMsg", script.refuseMsg);
    if (error.empty()) error = ReadInt(json, "httpStatus", 0, 599, script.httpStatus);
    if (error.empty()) error = ReadInt(json, "delayMs", 0, 60000, script.delayMs);
    if (error.empty()) error = ReadInt(json, "apiCalls", -1, kBig, script.apiCalls);
    if (error.empty()) error = ReadInt(json, "dropAfterPackages", -1, kBig, script.dropAfterPackages);
    if (error.empty()) error = ReadInt(json, "errorCode", -kBig, kBig, script.errorCode);
    if (error.empty()) error = ReadString(json, "errorMsg", script.errorMsg);
    if (error.empty()) error = ReadInt(json, "errorAfterPackages", 0, kBig, script.errorAfterPackages);
    if (error.empty()) error = ReadBool(json, "noDelayEcho", script.noDelayEcho);
    if (error.empty()) error = ReadInt(json, "probeDelayMs", 0, 10000, script.probeDelayMs);
    if (error.empty()) error = ReadBool(json, "malformedPackages", script.malformedPackages);
    if (error.empty()) error = ReadBool(json, "refuseUpgrade", script.refuseUpgrade);
    if (error.empty()) error = ReadInt(json, "refuseUpgradeMs", 0, 3600000, script.refuseUpgradeMs);
    if (error.empty()) error = ReadInt(json, "streamConnections", -1, kBig, script.streamConnections);
    if (!error.empty()) return error;
    if (script.httpStatus != 0 && script.httpStatus < 100) return "\"httpStatus\" must be 0 or an HTTP status";
    out = script;
    return "";
}

Json::Value FaultScriptToJson(const FaultScript& script) {
    Json::Value json(Json::objectValue);
    json["refuseCode"] = script.refuseCode;
    json["refuseMsg"] = script.refuseMsg;
    json["httpStatus"] = script.httpStatus;
    json["delayMs"] = script.delayMs;
    json["apiCalls"] = script.apiCalls;
    json["dropAfterPackages"] = script.dropAfterPackages;
    json["errorCode"] = script.errorCode;
    json["errorMsg"] = script.errorMsg;
    json["errorAfterPackages"] = script.errorAfterPackages;
    json["noDelayEcho"] = script.noDelayEcho;
    json["probeDelayMs"] = script.probeDelayMs;
    json["malformedPackages"] = script.malformedPackages;
    json["refuseUpgrade"] = script.refuseUpgrade;
    json["refuseUpgradeMs"] = script.refuseUpgradeMs;
    json["streamConnections"] = script.streamConnections;
    return json;
}

}  // namespace cloudsim

#include "fault_book.h"

namespace cloudsim {

void FaultBook::Set(const std::string& instanceNo, const FaultScript& script) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const std::string key = instanceNo.empty() ? "*" : instanceNo;
    m_scripts[key] = script;
    m_refuseUntil[key] = std::chrono::steady_clock::now() + std::chrono::milliseconds(script.refuseUpgradeMs);
}

void FaultBook::Clear() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_scripts.clear();
    m_refuseUntil.clear();
}

FaultScript* FaultBook::Find(const std::string& instanceNo) {
    auto it = m_scripts.find(instanceNo);
    if (it == m_scripts.end()) it = m_scripts.find("*");
    return it == m_scripts.end() ? nullptr : &it->second;
}

FaultScript FaultBook::TakeApiFaults(const std::string& instanceNo) {
    std::lock_guard<std::mutex> lock(m_mutex);
    FaultScript* script = Find(instanceNo);
    if (script == nullptr || !script->HasApiFault() || script->apiCalls == 0) return FaultScript();
    if (script->apiCalls > 0) --script->apiCalls;
    return *script;
}

bool FaultBook::TakeUpgradeRefusal(const std::string& instanceNo) {
    std::lock_guard<std::mutex> lock(m_mutex);
    FaultScript* script = Find(instanceNo);
    if (script == nullptr || !script->refuseUpgrade || script->streamConnections == 0) return false;
    if (script->refuseUpgradeMs > 0) {
        auto until = m_refuseUntil.find(m_scripts.count(instanceNo) != 0 ? instanceNo : "*");
        if (until != m_refuseUntil.end() && std::chrono::steady_clock::now() >= until->second) return false;
    }
    if (script->streamConnections > 0) --script->streamConnections;
    return true;
}

FaultScript FaultBook::TakeStreamFaults(const std::string& instanceNo) {
    std::lock_guard<std::mutex> lock(m_mutex);
    FaultScript* script = Find(instanceNo);
    if (script == nullptr || !script->HasStreamFault() || script->refuseUpgrade || script->streamConnections == 0) {
        return FaultScript();
    }
    if (script->streamConnections > 0) --script->streamConnections;
    return *script;
}

}  // namespace cloudsim
