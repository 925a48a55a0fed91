#pragma once
// What the local cloud received: every message a phone got over its stream
// connections, with its values, and every platform call.
#include <cstdint>
#include <string>

#include <json/value.h>

namespace cloudsim {

struct ReceivedMessage {
    uint64_t seq = 0;       // order of arrival across the whole cloud
    int64_t timeMs = 0;     // ms since 1970
    int64_t timeUs = 0;     // the same moment in µs since 1970 (for latency figures)
    std::string instanceNo;
    std::string sessionId;  // the session of the connection (group control: the instance's session)
    uint32_t type = 0;      // package type code (1015: input a group-control node copied)
    std::string kind;       // "auth", "play", "key", "touch", "inputString", ...
    Json::Value fields;     // the message's values by name (e.g. {"key": 30, "down": true})
};

struct ApiCall {
    uint64_t seq = 0;
    int64_t timeMs = 0;
    std::string path;
    std::string accessKey;
    std::string instanceNo;  // the instance the call names, if any
    int httpStatus = 0;      // what was answered
    int code = 0;            // the platform code answered
    std::string error;       // why it was refused, "" when accepted
    Json::Value body;        // the request body as parsed (null when not JSON)
};

Json::Value ToJson(const ReceivedMessage& message);
Json::Value ToJson(const ApiCall& call);

}  // namespace cloudsim
