#include "json_fields.h"

namespace cloudsim {

std::string ReadIntField(const Json::Value& json, const char* key, int& out, int min, int max) {
    if (!json.isMember(key)) return "";
    const Json::Value& value = json[key];
    if (!value.isInt64() || value.isBool() || value.asInt64() < min || value.asInt64() > max) {
        if (min == INT_MIN && max == INT_MAX) return std::string("\"") + key + "\" must be an integer";
        return std::string("\"") + key + "\" must be an integer from " + std::to_string(min) + " to " +
               std::to_string(max);
    }
    out = value.asInt();
    return "";
}

std::string ReadBoolField(const Json::Value& json, const char* key, bool& out) {
    if (!json.isMember(key)) return "";
    if (!json[key].isBool()) return std::string("\"") + key + "\" must be true or false";
    out = json[key].asBool();
    return "";
}

std::string ReadStringField(const Json::Value& json, const char* key, std::string& out) {
    if (!json.isMember(key)) return "";
    if (!json[key].isString() || json[key].asString().size() > 1024) {
        return std::string("\"") + key + "\" must be a string of at most 1024 bytes";
    }
    out = json[key].asString();
    return "";
}

}  // namespace cloudsim
