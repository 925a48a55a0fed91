#pragma once
// JSON bodies of the platform calls.
#include <cstdint>
#include <string>
#include <vector>

#include <json/value.h>

#include "plat_client/plat_records.h"

namespace plat_client {

Json::Value PhoneConnectBody(const std::string& userId, const std::string& instanceNo,
                             const std::string& clientTicket, const std::string& sdkStreamLevel);
Json::Value RefreshSessionBody(const std::string& sessionId);
Json::Value GroupControlBody(const std::string& userId, const std::vector<std::string>& instanceNos,
                             const std::string& clientTicket);
Json::Value ScreenshotBody(const ScreenshotReq& request, const std::vector<std::string>& instanceNos);

// True when the three name indexes of message are in range.
bool MessageCollectIndexesValid(const MessageCollect& message);
// Needs MessageCollectIndexesValid(message).
Json::Value MessageCollectBody(const MessageCollect& message, int64_t collectTimeMs);

}  // namespace plat_client
