#pragma once
// Compact JSON writing and exception-free JSON reading for node packages.
#include <cstddef>
#include <string>

#include <json/value.h>

namespace fleet_link {

// The compact text of value, without the writer's trailing newline.
std::string WriteCompactJson(const Json::Value& value);

// Parses text into root; on a syntax error (or a document the reader
// rejects) logs the "parse json" line and returns false.
bool ReadJsonText(const char* text, size_t length, Json::Value& root);

}  // namespace fleet_link
