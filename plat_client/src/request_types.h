#pragma once
// The kinds of platform calls, their paths and where they are sent.
#include <cstdint>
#include <memory>
#include <string>

#include "net_engine/net_engine.h"

namespace plat_client {

enum RequestType : int32_t {
    REQ_PHONE_CONNECT = 0,
    REQ_REFRESH_SESSION = 1,
    REQ_SECURITY_TOKEN = 2,
    REQ_MESSAGE_COLLECT = 3,
    REQ_GROUP_CONTROL_CONNECT = 4,
    REQ_SCREENSHOT = 5,
    REQ_HTTP_GET = 6,
};

// Path appended to the base URL ("" for a plain GET, which has its whole URL).
const char* RequestPath(int32_t type);
// Name of the response record, for log lines.
const char* ResponseRecordName(int32_t type);

// TESSIVO_STAT_URL without trailing '/', or the built-in statistics host.
std::string StatBaseUrlFromEnvironment();

// User data handed to a request handle: what the answer dispatch needs.
struct RequestContext {
    int32_t type = 0;
    void* userData = nullptr;
    std::weak_ptr<net_engine::INetEngine> engine;  // the engine the call was added to
};

}  // namespace plat_client
