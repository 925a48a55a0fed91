#pragma once
// Small pieces of HTTP handling shared by the routes: JSON answers, the
// path and query of a target, JSON bodies.
#include <map>
#include <string>

#include <json/value.h>

#include "peers/http_server.h"

namespace cloudsim {

// The path of a target, without its query.
std::string TargetPath(const std::string& target);
// The query parameters of a target, percent-decoded.
std::map<std::string, std::string> TargetQuery(const std::string& target);

// A JSON answer with the given HTTP status.
peers::HttpReply JsonReply(const Json::Value& body, int status = 200);
// The platform's answer shape: {"code", "msg"} and "data" unless it is null.
peers::HttpReply PlatformReply(int code, const std::string& msg, const Json::Value& data = Json::Value());
peers::HttpReply TextReply(int status, const std::string& text);

// Parses a body that must be JSON; false with error filled otherwise.
bool ParseJsonBody(const std::string& body, Json::Value& out, std::string* error);
std::string CompactJson(const Json::Value& value);

}  // namespace cloudsim
