#include "node_answers.h"

#include <json/value.h>

#include "common/qv_log.h"
#include "json_text.h"

namespace fleet_link {

namespace {

// The value under key, or null when obj is no object or lacks the key.
const Json::Value* Member(const Json::Value& obj, const char* key) {
    if (!obj.isObject()) {
        return nullptr;
    }
    return obj.find(key, key + std::char_traits<char>::length(key));
}

bool LogMissing(const char* scope, const char* key) {
    QV_LOG(60, "[FLEET_LINK]Json Get [%s][%s] failed", scope, key);
    return false;
}

bool RequireString(const Json::Value& obj, const char* scope, const char* key, std::string& out) {
    const Json::Value* v = Member(obj, key);
    if (!v || !v->isString()) {
        return LogMissing(scope, key);
    }
    out = v->asString();
    return true;
}

bool RequireInt(const Json::Value& obj, const char* scope, const char* key, int32_t& out) {
    const Json::Value* v = Member(obj, key);
    if (!v || !v->isInt()) {
        return LogMissing(scope, key);
    }
    out = v->asInt();
    return true;
}

bool RequireBool(const Json::Value& obj, const char* scope, const char* key, bool& out) {
    const Json::Value* v = Member(obj, key);
    if (!v || !v->isBool()) {
        return LogMissing(scope, key);
    }
    out = v->asBool();
    return true;
}

void TakeString(const Json::Value& obj, const char* key, std::string& out) {
    const Json::Value* v = Member(obj, key);
    if (v && v->isString()) {
        out = v->asString();
    }
}

void TakeInt64(const Json::Value& obj, const char* key, int64_t& out) {
    const Json::Value* v = Member(obj, key);
    if (v && v->isInt64()) {
        out = v->asInt64();
    }
}

bool ParseCommonFields(const Json::Value& root, CommonRsp& out) {
    if (!RequireString(root, "root", "connId", out.connId) || !RequireInt(root, "root", "code", out.code)) {
        return false;
    }
    TakeString(root, "msg", out.message);
    return true;
}

bool ParseStateInfo(const Json::Value& item, InstanceStateInfo& info) {
    std::string instanceNo;
    if (!RequireString(item, "instanceList", "instanceNo", instanceNo) ||
        !RequireInt(item, "instanceList", "state", info.state) ||
        !RequireInt(item, "instanceList", "width", info.width) ||
        !RequireInt(item, "instanceList", "height", info.height) ||
        !RequireInt(item, "instanceList", "errCode", info.errCode) ||
        !RequireBool(item, "instanceList", "isProxy", info.isProxy)) {
        return false;
    }
    common::CopyText(info.instanceNo, instanceNo.c_str());
    return true;
}

bool ParseErrorInfo(const Json::Value& item, InstanceErrorInfo& info) {
    std::string instanceNo;
    if (!RequireString(item, "instanceList", "instanceNo", instanceNo) ||
        !RequireInt(item, "instanceList", "errCode", info.errCode)) {
        return false;
    }
    common::CopyText(info.instanceNo, instanceNo.c_str());
    return true;
}

}  // namespace

bool ParseRegisterRsp(const char* body, size_t length, RegisterRsp& out) {
    Json::Value root;
    if (!ReadJsonText(body, length, root)) {
        return false;
    }
    if (!RequireString(root, "root", "connId", out.connId) || !RequireInt(root, "root", "code", out.code)) {
        return false;
    }
    TakeString(root, "msg", out.message);
    TakeInt64(root, "ts", out.ts);
    return true;
}

bool ParseHeartBeatReq(const char* body, size_t length, HeartBeatReq& out) {
    Json::Value root;
    if (!ReadJsonText(body, length, root)) {
        return false;
    }
    TakeString(root, "connId", out.connId);
    TakeInt64(root, "ts", out.ts);
    return true;
}

bool ParseCommonRsp(const char* body, size_t length, CommonRsp& out) {
    Json::Value root;
    if (!ReadJsonText(body, length, root)) {
        return false;
    }
    return ParseCommonFields(root, out);
}

bool ParseInstanceStatusRsp(const char* body, size_t length, InstanceStatusRsp& out) {
    Json::Value root;
    if (!ReadJsonText(body, length, root)) {
        return false;
    }
    if (!ParseCommonFields(root, out.common)) {
        return false;
    }
    const Json::Value* list = Member(root, "instanceList");
    if (!list || !list->isArray()) {
        return true;  // absent (or not a list): no records
    }
    out.instances.reserve(list->size());
    for (const Json::Value& item : *list) {
        InstanceStateInfo info{};
        if (!ParseStateInfo(item, info)) {
            out.instances.clear();
            return false;
        }
        out.instances.push_back(info);
    }
    return true;
}

bool ParseErrorRsp(const char* body, size_t length, ErrorRsp& out) {
    Json::Value root;
    if (!ReadJsonText(body, length, root)) {
        return false;
    }
    if (!RequireString(root, "root", "connId", out.connId) || !RequireInt(root, "root", "errType", out.errType) ||
        !RequireInt(root, "root", "errCode", out.errCode)) {
        return false;
    }
    const Json::Value* detail = Member(root, "errDetail");
    if (!detail || !detail->isObject()) {
        QV_LOG(60, "[FLEET_LINK][errDetail] is not a object");
        return false;
    }
    const Json::Value* list = Member(*detail, "instanceList");
    if (!list || !list->isArray()) {
        QV_LOG(60, "[FLEET_LINK][errDetail][instanceList] is not a array");
        return false;
    }
    out.instances.reserve(list->size());
    for (const Json::Value& item : *list) {
        InstanceErrorInfo info{};
        if (!ParseErrorInfo(item, info)) {
            out.instances.clear();
            return false;
        }
        out.instances.push_back(info);
    }
    return true;
}

}  // namespace fleet_link
