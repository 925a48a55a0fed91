#pragma once
// JSON bodies of the packages the client sends to a node. Every key is always
// present; null C strings become empty strings.
#include <cstdint>
#include <string>

#include <json/value.h>

#include "fleet_link/fleet_link_records.h"

namespace fleet_link {

Json::Value BuildRegisterReq(const std::string& sdkVersion);
Json::Value BuildHeartBeatReq(const std::string& connId, int64_t ts);
Json::Value BuildHeartBeatRsp(const std::string& connId, int64_t delay);
// streamConf must not be null; instances may be null only when count is 0.
Json::Value BuildStartControlReq(const std::string& connId, const char* mainInstanceNo,
                                 const StreamConf& streamConf, const ControlInstance* instances, uint32_t count);
// Add and reduce share this shape; instanceNos may be null only when count is 0.
Json::Value BuildInstanceListReq(const std::string& connId, const char* const* instanceNos, uint32_t count);
// Query instance status and stop control carry the connection id only.
Json::Value BuildConnIdReq(const std::string& connId);
Json::Value BuildSwitchMainReq(const std::string& connId, const char* newMainInstanceNo);
// opData is embedded as its compact JSON text.
Json::Value BuildInputReq(const std::string& connId, int opType, const Json::Value& opData);

// A C string, or "" for null.
std::string TextOf(const char* text);
// A fixed char[256] field read up to its terminator or its end.
std::string FieldText(const char (&field)[256]);

}  // namespace fleet_link
