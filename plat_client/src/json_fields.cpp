#include "json_fields.h"

#include <charconv>
#include <cstring>
#include <exception>
#include <memory>

#include <json/reader.h>

#include "common/qv_log.h"

namespace plat_client {
namespace {

bool IsInt32(const Json::Value& value) {
    const auto type = value.type();
    return (type == Json::intValue || type == Json::uintValue) && value.isInt();
}

}  // namespace

const Json::Value* Member(const Json::Value& object, const char* key) {
    if (!object.isObject()) return nullptr;
    return object.find(key, key + std::strlen(key));
}

bool ParseJsonText(const std::string& text, Json::Value& root) {
    Json::CharReaderBuilder builder;
    builder["failIfExtra"] = true;  // the whole body is one document
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    std::string errors;
    bool parsed = false;
    try {
        // The reader throws when nesting exceeds its stack limit.
        parsed = reader->parse(text.data(), text.data() + text.size(), &root, &errors);
    } catch (const std::exception&) {
        parsed = false;
    }
    if (!parsed) {
        QV_LOG(QV_LOG_ERROR, "[PLAT_CLIENT]parse json[%s] failed", text.c_str());
        root = Json::Value();
    }
    return parsed;
}

bool ReadHead(const Json::Value& root, RspHead& head) {
    return ReadRequired(root, "root", "code", head.code) && ReadRequired(root, "root", "msg", head.msg);
}

bool ReadRequired(const Json::Value& object, const char* where, const char* key, std::string& out) {
    const Json::Value* value = Member(object, key);
    if (value == nullptr || !value->isString()) {
        QV_LOG(QV_LOG_ERROR, "[PLAT_CLIENT]Json Get [%s][%s] failed", where, key);
        return false;
    }
    out = value->asString();
    return true;
}

bool ReadRequired(const Json::Value& object, const char* where, const char* key, int32_t& out) {
    const Json::Value* value = Member(object, key);
    if (value == nullptr || !IsInt32(*value)) {
        QV_LOG(QV_LOG_ERROR, "[PLAT_CLIENT]Json Get [%s][%s] failed", where, key);
        return false;
    }
    out = value->asInt();
    return true;
}

void ReadOptional(const Json::Value& object, const char* key, std::string& out) {
    const Json::Value* value = Member(object, key);
    if (value != nullptr && value->isString()) out = value->asString();
}

void ReadOptional(const Json::Value& object, const char* key, int32_t& out) {
    const Json::Value* value = Member(object, key);
    if (value != nullptr && IsInt32(*value)) out = value->asInt();
}

void ReadOptional(const Json::Value& object, const char* key, bool& out) {
    const Json::Value* value = Member(object, key);
    if (value != nullptr && value->isBool()) out = value->asBool();
}

void ReadOptional(const Json::Value& object, const char* key, std::vector<int32_t>& out) {
    const Json::Value* value = Member(object, key);
    if (value == nullptr || !value->isArray()) return;
    out.clear();
    for (const auto& item : *value) {
        if (IsInt32(item)) out.push_back(item.asInt());
    }
}

void ReadDecimalString(const Json::Value& object, const char* key, int64_t& out) {
    out = 0;
    const Json::Value* value = Member(object, key);
    if (value == nullptr || !value->isString()) return;
    const char* begin = nullptr;
    const char* end = nullptr;
    if (!value->getString(&begin, &end) || begin == end) return;
    int64_t parsed = 0;
    const auto result = std::from_chars(begin, end, parsed);
    if (result.ec == std::errc() && result.ptr == end) out = parsed;
}

}  // namespace plat_client
