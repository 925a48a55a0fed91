#pragma once
// Optional fields of the control endpoints' JSON bodies. Each reader leaves
// `out` alone when the key is absent and returns "" when the value is
// absent or valid, else the message that tells the caller what is wrong.
#include <climits>
#include <string>

#include <json/value.h>

namespace cloudsim {

std::string ReadIntField(const Json::Value& json, const char* key, int& out, int min = INT_MIN, int max = INT_MAX);
std::string ReadBoolField(const Json::Value& json, const char* key, bool& out);
// A string of at most 1024 bytes.
std::string ReadStringField(const Json::Value& json, const char* key, std::string& out);

}  // namespace cloudsim
