// The group-control records and fault scripts as JSON, for the control
// endpoints.
#include "cloudsim/group_control.h"
#include "json_fields.h"

namespace cloudsim {

std::string NodeFaultScriptFromJson(const Json::Value& json, NodeFaultScript& out) {
    if (!json.isObject()) return "a fault script is a JSON object";
    static const char* const kKnown[] = {"registerCode", "registerMsg", "answerCode", "answerMsg",
                                         "noHeartbeatEcho", "refuseUpgrade", "refuseUpgradeMs", "silent",
                                         "nodeNo"};
    for (const auto& name : json.getMemberNames()) {
        bool known = false;
        for (const char* key : kKnown) known = known || name == key;
        if (!known) return "unknown node fault \"" + name + "\"";
    }
    NodeFaultScript script;
    std::string error = ReadIntField(json, "registerCode", script.registerCode);
    if (error.empty()) error = ReadStringField(json, "registerMsg", script.registerMsg);
    if (error.empty()) error = ReadIntField(json, "answerCode", script.answerCode);
    if (error.empty()) error = ReadStringField(json, "answerMsg", script.answerMsg);
    if (error.empty()) error = ReadBoolField(json, "noHeartbeatEcho", script.noHeartbeatEcho);
    if (error.empty()) error = ReadBoolField(json, "refuseUpgrade", script.refuseUpgrade);
    if (error.empty()) error = ReadIntField(json, "refuseUpgradeMs", script.refuseUpgradeMs, 0, 3600000);
    if (error.empty() && script.refuseUpgradeMs < 0) error = "\"refuseUpgradeMs\" must not be negative";
    if (error.empty()) error = ReadBoolField(json, "silent", script.silent);
    if (error.empty()) out = script;
    return error;
}

Json::Value ToJson(const NodeMessage& message) {
    Json::Value json(Json::objectValue);
    json["seq"] = static_cast<Json::UInt64>(message.seq);
    json["timeMs"] = static_cast<Json::Int64>(message.timeMs);
    json["nodeNo"] = message.nodeNo;
    json["connection"] = message.connection;
    json["connId"] = message.connId;
    json["type"] = message.type;
    json["kind"] = message.kind;
    json["body"] = message.body;
    json["code"] = message.code;
    json["error"] = message.error;
    return json;
}

Json::Value ToJson(const NodeView& view) {
    Json::Value json(Json::objectValue);
    json["nodeNo"] = view.nodeNo;
    json["port"] = view.port;
    json["listening"] = view.listening;
    json["accepted"] = static_cast<Json::UInt64>(view.accepted);
    json["connections"] = Json::Value(Json::arrayValue);
    for (const auto& connection : view.connections) {
        Json::Value item(Json::objectValue);
        item["connection"] = connection.connection;
        item["connId"] = connection.connId;
        item["mainInstanceNo"] = connection.mainInstanceNo;
        item["streamWidth"] = connection.streamWidth;
        item["streamHeight"] = connection.streamHeight;
        item["lastDelayMs"] = static_cast<Json::Int64>(connection.lastDelayMs);
        item["instances"] = Json::Value(Json::arrayValue);
        for (const auto& instance : connection.instances) {
            Json::Value inst(Json::objectValue);
            inst["instanceNo"] = instance.instanceNo;
            inst["sessionId"] = instance.sessionId;
            inst["uid"] = instance.uid;
            inst["state"] = instance.state;
            inst["errCode"] = instance.errCode;
            inst["main"] = instance.main;
            item["instances"].append(inst);
        }
        json["connections"].append(item);
    }
    return json;
}

}  // namespace cloudsim
