#include "cloudsim/fault_script.h"

#include "json_fields.h"

namespace cloudsim {

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
    std::string error = ReadIntField(json, "refuseCode", script.refuseCode, -kBig, kBig);
    if (error.empty()) error = ReadStringField(json, "refuseMsg", script.refuseMsg);
    if (error.empty()) error = ReadIntField(json, "httpStatus", script.httpStatus, 0, 599);
    if (error.empty()) error = ReadIntField(json, "delayMs", script.delayMs, 0, 60000);
    if (error.empty()) error = ReadIntField(json, "apiCalls", script.apiCalls, -1, kBig);
    if (error.empty()) error = ReadIntField(json, "dropAfterPackages", script.dropAfterPackages, -1, kBig);
    if (error.empty()) error = ReadIntField(json, "errorCode", script.errorCode, -kBig, kBig);
    if (error.empty()) error = ReadStringField(json, "errorMsg", script.errorMsg);
    if (error.empty()) error = ReadIntField(json, "errorAfterPackages", script.errorAfterPackages, 0, kBig);
    if (error.empty()) error = ReadBoolField(json, "noDelayEcho", script.noDelayEcho);
    if (error.empty()) error = ReadIntField(json, "probeDelayMs", script.probeDelayMs, 0, 10000);
    if (error.empty()) error = ReadBoolField(json, "malformedPackages", script.malformedPackages);
    if (error.empty()) error = ReadBoolField(json, "refuseUpgrade", script.refuseUpgrade);
    if (error.empty()) error = ReadIntField(json, "refuseUpgradeMs", script.refuseUpgradeMs, 0, 3600000);
    if (error.empty()) error = ReadIntField(json, "streamConnections", script.streamConnections, -1, kBig);
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
