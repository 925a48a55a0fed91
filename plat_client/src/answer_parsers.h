#pragma once
// Parsers of the platform's answers (HTTP status 200). Each returns false on
// a parse failure; the record then holds what was read before it.
#include <string>

#include "plat_client/plat_records.h"

namespace plat_client {

bool ParsePhoneConnectRsp(const std::string& body, PhoneConnectRsp& rsp);
bool ParseRefreshSessionRsp(const std::string& body, RefreshSessionRsp& rsp);
bool ParseGroupControlRsp(const std::string& body, PhoneGroupControlConnectRsp& rsp);
bool ParseScreenshotRsp(const std::string& body, ScreenshotRsp& rsp);
bool ParseSecurityTokenRsp(const std::string& body, SecurityTokenRsp& rsp);
bool ParseMessageCollectRsp(const std::string& body, MessageCollectRsp& rsp);

}  // namespace plat_client
