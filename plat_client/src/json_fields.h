#pragma once
// Type-checked reads from an untrusted JSON document. Nothing here throws.
#include <cstdint>
#include <string>
#include <vector>

#include <json/value.h>

#include "plat_client/plat_records.h"

namespace plat_client {

// The member key of object, or null when object is no object or lacks key.
const Json::Value* Member(const Json::Value& object, const char* key);

// Parses a whole body; logs "parse json[%s] failed" when it is not JSON.
bool ParseJsonText(const std::string& text, Json::Value& root);

// "code" (integer) and "msg" (string) of the root; logs what is missing.
bool ReadHead(const Json::Value& root, RspHead& head);

// Required members log "Json Get [where][key] failed" when missing or of another kind.
bool ReadRequired(const Json::Value& object, const char* where, const char* key, std::string& out);
bool ReadRequired(const Json::Value& object, const char* where, const char* key, int32_t& out);

// Optional members are left unchanged when missing or of another kind.
void ReadOptional(const Json::Value& object, const char* key, std::string& out);
void ReadOptional(const Json::Value& object, const char* key, int32_t& out);
void ReadOptional(const Json::Value& object, const char* key, bool& out);
void ReadOptional(const Json::Value& object, const char* key, std::vector<int32_t>& out);
// A JSON string holding a decimal int64; anything else (or out of range) reads as 0.
void ReadDecimalString(const Json::Value& object, const char* key, int64_t& out);

}  // namespace plat_client
