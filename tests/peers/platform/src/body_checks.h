#pragma once
// Per-endpoint checks of a request body's keys and JSON types.
#include <string>

#include <json/value.h>

namespace platform_peer {

// Each returns "" when the body has exactly the keys of its endpoint with the
// right JSON types, else what is wrong.
std::string CheckPhoneConnectBody(const Json::Value& body);
std::string CheckRefreshSessionBody(const Json::Value& body);
std::string CheckGroupControlBody(const Json::Value& body);
std::string CheckScreenshotBody(const Json::Value& body);
std::string CheckMessageCollectBody(const Json::Value& body);

}  // namespace platform_peer
