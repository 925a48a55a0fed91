#include "request_types.h"

#include <cstdlib>

namespace plat_client {

namespace {
const char* const kDefaultStatBaseUrl = "https://stat.tessivo.com";
}

const char* RequestPath(int32_t type) {
    switch (type) {
        case REQ_PHONE_CONNECT: return "/sdk/instance/phone-connect";
        case REQ_REFRESH_SESSION: return "/sdk/instance/refresh-session";
        case REQ_SECURITY_TOKEN: return "/stat/message/security-token";
        case REQ_MESSAGE_COLLECT: return "/stat/message/collect";
        case REQ_GROUP_CONTROL_CONNECT: return "/sdk/instance/phone-group-control-connect";
        case REQ_SCREENSHOT: return "/sdk/instance/screenshot";
        default: return "";
    }
}

const char* ResponseRecordName(int32_t type) {
    switch (type) {
        case REQ_PHONE_CONNECT: return "PhoneConnectRsp";
        case REQ_REFRESH_SESSION: return "RefreshSessionRsp";
        case REQ_SECURITY_TOKEN: return "SecurityTokenRsp";
        case REQ_MESSAGE_COLLECT: return "MessageCollectRsp";
        case REQ_GROUP_CONTROL_CONNECT: return "PhoneGroupControlConnectRsp";
        case REQ_SCREENSHOT: return "ScreenshotRsp";
        default: return "";
    }
}

std::string StatBaseUrlFromEnvironment() {
    const char* configured = std::getenv("TESSIVO_STAT_URL");
    std::string url = configured != nullptr && configured[0] != '\0' ? configured : kDefaultStatBaseUrl;
    while (!url.empty() && url.back() == '/') url.pop_back();
    return url;
}

}  // namespace plat_client
