#include "node_requests.h"

#include <climits>

#include "peers/node_wire.h"

namespace cloudsim {
namespace {

constexpr size_t kMaxTouchPoints = 10;
constexpr size_t kMaxListEntries = 1000;
constexpr size_t kMaxRecordedNodeText = 65536;

// Each reader fills out and returns "" or says which key is wrong.
std::string String(const Json::Value& object, const char* key, std::string& out) {
    const Json::Value& value = object[key];
    if (!value.isString()) return std::string("\"") + key + "\" is missing or not a string";
    out = value.asString();
    if (out.size() > kMaxNodeText) return std::string("\"") + key + "\" is longer than 1048576 bytes";
    return "";
}

std::string Int64(const Json::Value& object, const char* key, int64_t& out) {
    const Json::Value& value = object[key];
    if (!value.isInt64() || value.isBool()) return std::string("\"") + key + "\" is missing or not an integer";
    out = value.asInt64();
    return "";
}

std::string Int(const Json::Value& object, const char* key, int& out) {
    const Json::Value& value = object[key];
    if (!value.isInt() || value.isBool()) return std::string("\"") + key + "\" is missing or not an integer";
    out = value.asInt();
    return "";
}

std::string Bool(const Json::Value& object, const char* key, bool& out) {
    const Json::Value& value = object[key];
    if (!value.isBool()) return std::string("\"") + key + "\" is missing or not true or false";
    out = value.asBool();
    return "";
}

std::string Double(const Json::Value& object, const char* key, Json::Value& fields) {
    const Json::Value& value = object[key];
    if (!value.isDouble() || value.isBool()) return std::string("\"") + key + "\" is missing or not a number";
    fields[key] = value.asDouble();
    return "";
}

std::string List(const Json::Value& object, const char* key, const Json::Value*& out) {
    const Json::Value& value = object[key];
    if (!value.isArray()) return std::string("\"") + key + "\" is missing or not an array";
    if (value.size() > kMaxListEntries) return std::string("\"") + key + "\" has too many entries";
    out = &value;
    return "";
}

Json::Value Recorded(const std::string& text) {
    return Json::Value(text.size() > kMaxRecordedNodeText ? text.substr(0, kMaxRecordedNodeText) : text);
}

std::string ReadText(const Json::Value& data, NodeInput& out) {
    std::string error = String(data, "str", out.text);
    out.fields["text"] = Recorded(out.text);
    out.fields["length"] = static_cast<Json::UInt64>(out.text.size());
    return error;
}

std::string ReadKey(const Json::Value& data, NodeInput& out) {
    int key = 0;
    std::string error = Int(data, "key", key);
    if (error.empty()) error = Bool(data, "isDown", out.down);
    if (error.empty() && (key < SCHAR_MIN || key > UCHAR_MAX)) error = "\"key\" is not a byte";
    // The client sends its signed byte; codes above 127 arrive negative.
    out.key = key & 0xFF;
    out.fields["key"] = out.key;
    out.fields["down"] = out.down;
    return error;
}

std::string ReadButton(const Json::Value& data, const char* key, NodeInput& out) {
    int value = 0;
    std::string error = Int(data, key, value);
    if (error.empty()) error = Bool(data, "isDown", out.down);
    out.fields[key] = value;
    out.fields["down"] = out.down;
    return error;
}

std::string ReadMove(const Json::Value& data, NodeInput& out) {
    int x = 0;
    int y = 0;
    std::string error = Int(data, "x", x);
    if (error.empty()) error = Int(data, "y", y);
    out.points.emplace_back(x, y);
    return error;
}

std::string ReadTouch(const Json::Value& data, NodeInput& out) {
    std::string error = Int(data, "touchType", out.touchType);
    const Json::Value* infos = nullptr;
    if (error.empty()) error = List(data, "touchInfos", infos);
    if (!error.empty()) return error;
    if (infos->size() > kMaxTouchPoints) return "\"touchInfos\" has more than 10 points";
    for (const Json::Value& info : *infos) {
        if (!info.isObject()) return "a \"touchInfos\" entry is not an object";
        int x = 0;
        int y = 0;
        error = Int(info, "x", x);
        if (error.empty()) error = Int(info, "y", y);
        if (!error.empty()) return "touchInfos: " + error;
        out.points.emplace_back(x, y);
    }
    out.fields["action"] = out.touchType;
    return "";
}

std::string ReadPerInstance(const Json::Value& data, NodeInput& out) {
    const Json::Value* infos = nullptr;
    std::string error = List(data, "inputInfos", infos);
    if (!error.empty()) return error;
    out.fields["inputInfos"] = Json::Value(Json::arrayValue);
    for (const Json::Value& info : *infos) {
        if (!info.isObject()) return "an \"inputInfos\" entry is not an object";
        std::string instanceNo;
        std::string text;
        error = String(info, "instanceNo", instanceNo);
        if (error.empty()) error = String(info, "str", text);
        if (!error.empty()) return "inputInfos: " + error;
        Json::Value entry(Json::objectValue);
        entry["instanceNo"] = instanceNo;
        entry["text"] = Recorded(text);
        out.fields["inputInfos"].append(entry);
        out.perInstance.emplace_back(std::move(instanceNo), std::move(text));
    }
    return "";
}

std::string ReadInputData(int opType, const Json::Value& data, NodeInput& out) {
    switch (opType) {
        case 1:
            out.kind = "inputString";
            return ReadText(data, out);
        case 2:
            out.kind = "copyString";
            return ReadText(data, out);
        case 3:
            out.kind = "key";
            return ReadKey(data, out);
        case 4:
            out.kind = "mouseClick";
            return ReadButton(data, "mouseType", out);
        case 5:
            out.kind = "mouseMiddleClick";
            return ReadButton(data, "wheel", out);
        case 6:
            out.kind = "mouseMove";
            return ReadMove(data, out);
        case 7:
            out.kind = "touch";
            return ReadTouch(data, out);
        case 8: {
            out.kind = "position";
            std::string error = Double(data, "longitude", out.fields);
            return error.empty() ? Double(data, "latitude", out.fields) : error;
        }
        case 9: {
            out.kind = "sensor";
            int sensorType = 0;
            std::string error = Int(data, "sensorType", sensorType);
            out.fields["sensorType"] = sensorType;
            for (const char* axis : {"x", "y", "z"}) {
                if (error.empty()) error = Double(data, axis, out.fields);
            }
            return error;
        }
        case 10: {
            out.kind = "msgTrans";
            std::string service;
            std::string msg;
            std::string error = String(data, "service", service);
            if (error.empty()) error = String(data, "msg", msg);
            out.fields["service"] = Recorded(service);
            out.fields["msg"] = Recorded(msg);
            return error;
        }
        case 11:
            out.kind = "instanceInput";
            return ReadPerInstance(data, out);
        case 12:
            out.kind = "instanceClipboard";
            return ReadPerInstance(data, out);
        default:
            return "unknown opType " + std::to_string(opType);
    }
}

std::string ReadInstanceList(const Json::Value& body, NodeRequest& out) {
    const Json::Value* list = nullptr;
    std::string error = List(body, "instanceList", list);
    if (!error.empty()) return error;
    for (const Json::Value& item : *list) {
        if (!item.isObject()) return "an \"instanceList\" entry is not an object";
        std::string instanceNo;
        error = String(item, "instanceNo", instanceNo);
        if (!error.empty()) return "instanceList: " + error;
        out.instanceNos.push_back(instanceNo);
    }
    return "";
}

std::string ReadStartControl(const Json::Value& body, NodeRequest& out) {
    std::string error = String(body, "mainInstanceNo", out.mainInstanceNo);
    const Json::Value* list = nullptr;
    if (error.empty()) error = List(body, "instanceList", list);
    if (!error.empty()) return error;
    for (const Json::Value& item : *list) {
        if (!item.isObject()) return "an \"instanceList\" entry is not an object";
        ControlEntry entry;
        error = String(item, "uid", entry.uid);
        if (error.empty()) error = String(item, "sessionId", entry.sessionId);
        if (error.empty()) error = String(item, "instanceNo", entry.instanceNo);
        if (!error.empty()) return "instanceList: " + error;
        out.entries.push_back(entry);
    }
    const Json::Value& conf = body["streamConf"];
    if (!conf.isObject()) return "\"streamConf\" is missing or not an object";
    error = String(conf, "app", out.app);
    if (error.empty()) error = String(conf, "ext", out.ext);
    if (error.empty()) error = Int64(conf, "width", out.width);
    if (error.empty()) error = Int64(conf, "height", out.height);
    if (!error.empty()) return "streamConf: " + error;
    if (out.width < 0 || out.width > 65535 || out.height < 0 || out.height > 65535) {
        return "streamConf: the size is out of range";
    }
    return "";
}

std::string ReadBody(const Json::Value& body, NodeRequest& out) {
    switch (out.type) {
        case node_type::kRegisterReq: {
            out.kind = "register";
            std::string error = Int(body, "clientType", out.clientType);
            return error.empty() ? String(body, "sdkVersion", out.sdkVersion) : error;
        }
        default:
            break;
    }
    std::string error = String(body, "connId", out.connId);
    switch (out.type) {
        case node_type::kHeartBeat:
            out.kind = "heartbeat";
            return error.empty() ? Int64(body, "ts", out.ts) : error;
        case node_type::kHeartBeatRsp:
            out.kind = "heartbeatAnswer";
            return error.empty() ? Int64(body, "delay", out.delay) : error;
        case node_type::kStartControlReq:
            out.kind = "startControl";
            return error.empty() ? ReadStartControl(body, out) : error;
        case node_type::kAddInstanceReq:
            out.kind = "addInstance";
            return error.empty() ? ReadInstanceList(body, out) : error;
        case node_type::kReduceInstanceReq:
            out.kind = "reduceInstance";
            return error.empty() ? ReadInstanceList(body, out) : error;
        case node_type::kQueryStatusReq:
            out.kind = "queryInstanceStatus";
            return error;
        case node_type::kStopControlReq:
            out.kind = "stopControl";
            return error;
        case node_type::kSwitchMainReq:
            out.kind = "switchMain";
            return error.empty() ? String(body, "newMainInstanceNo", out.newMainInstanceNo) : error;
        case node_type::kInputReq: {
            out.kind = "input";
            int opType = 0;
            std::string opData;
            if (error.empty()) error = Int(body, "opType", opType);
            if (error.empty()) error = String(body, "opData", opData);
            if (error.empty()) error = ReadNodeInput(opType, opData, out.input);
            return error;
        }
        default:
            out.kind = "unknown";
            return "unknown package type " + std::to_string(out.type);
    }
}

}  // namespace

uint32_t AnswerTypeOf(uint32_t requestType) {
    switch (requestType) {
        case node_type::kRegisterReq: return node_type::kRegisterRsp;
        case node_type::kStartControlReq: return node_type::kStartControlRsp;
        case node_type::kAddInstanceReq: return node_type::kAddInstanceRsp;
        case node_type::kReduceInstanceReq: return node_type::kReduceInstanceRsp;
        case node_type::kQueryStatusReq: return node_type::kQueryStatusRsp;
        case node_type::kStopControlReq: return node_type::kStopControlRsp;
        case node_type::kSwitchMainReq: return node_type::kSwitchMainRsp;
        default: return 0;
    }
}

std::string ReadNodeInput(int opType, const std::string& opData, NodeInput& out) {
    out = NodeInput();
    out.opType = opType;
    out.fields = Json::Value(Json::objectValue);
    Json::Value data;
    if (!peers::ReadNodeJson(opData, data) || !data.isObject()) return "\"opData\" is not a JSON object";
    return ReadInputData(opType, data, out);
}

std::string ReadNodeRequest(const std::string& frame, bool binary, NodeRequest& out) {
    out = NodeRequest();
    if (!binary) return "text frame";
    std::string text;
    if (!peers::SplitNodePackage(frame, out.type, text)) {
        out.type = 0;
        return frame.size() < 8 ? "shorter than a package header" : "header length differs from the frame";
    }
    if (!peers::ReadNodeJson(text, out.body) || !out.body.isObject()) {
        out.body = Json::Value();
        return "body is not a JSON object";
    }
    return ReadBody(out.body, out);
}

std::string NodePackage(uint32_t type, const Json::Value& body) {
    return peers::FrameNodePackage(type, peers::WriteNodeJson(body));
}

}  // namespace cloudsim
