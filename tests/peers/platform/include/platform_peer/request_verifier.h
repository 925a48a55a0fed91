#pragma once
// Checks one request of the platform REST API on its own, without any code of
// the client: the four headers in their order, the date header against the
// checker's clock, the HMAC-SHA256 signature recomputed with the secret that
// belongs to the access key, the client ticket (its user and time must match
// the body's "userId" and the date header), and the body: exactly jsoncpp's
// styled form, with the keys and JSON types of its endpoint and no others.
// Usable by any local server (test peers, the local cloud).
//
//   platform_peer::KeyTable keys = {{"ak-platform", "sk-platform"}, {"ak-stat", "sk-stat"}};
//   platform_peer::VerifiedRequest call;
//   std::string error = platform_peer::VerifyPlatformRequest(request, keys, {}, &call);
//   if (!error.empty()) { /* answer 401 with error as the body */ }
#include <cstdint>
#include <map>
#include <string>

#include <json/value.h>

#include "peers/http_server.h"

namespace platform_peer {

// Paths the verifier knows. Security-token is the one unsigned call.
extern const char* const kPhoneConnectPath;        // "/sdk/instance/phone-connect"
extern const char* const kRefreshSessionPath;      // "/sdk/instance/refresh-session"
extern const char* const kGroupControlPath;        // "/sdk/instance/phone-group-control-connect"
extern const char* const kScreenshotPath;          // "/sdk/instance/screenshot"
extern const char* const kSecurityTokenPath;       // "/stat/message/security-token"
extern const char* const kMessageCollectPath;      // "/stat/message/collect"

// Access key -> the secret that signs with it (platform keys and statistics
// keys alike; the statistics secret is the one the client signs with, i.e.
// after the client's trimming).
using KeyTable = std::map<std::string, std::string>;

struct VerifyOptions {
    // Largest accepted difference between the date header and the checker's clock.
    int64_t maxClockSkewMs = 5 * 60 * 1000;
    // Milliseconds since 1970 used as "now"; 0 reads the system clock.
    int64_t nowMs = 0;
};

// What a successful check learned about the request.
struct VerifiedRequest {
    std::string path;          // target without a query
    bool isSigned = false;     // false only for the security-token call
    std::string accessKey;     // "Platform-Access-Key" value
    int64_t dateMs = 0;        // "Platform-Request-DateTime" value
    Json::Value body;          // parsed body (null for the security-token call)
    // Decoded "clientTicket" (phone-connect and group-control calls only).
    std::string ticketUserId;
    std::string ticketSdkVersion;
    int64_t ticketMs = 0;
};

// Verifies one request. Returns "" when it is a well-formed call of a known
// path, else one line saying what is wrong (e.g. "signature mismatch: ...").
// out (may be null) is filled as far as the check got.
std::string VerifyPlatformRequest(const peers::HttpRequest& request, const KeyTable& keys,
                                  const VerifyOptions& options = {}, VerifiedRequest* out = nullptr);

// Building blocks, exposed for servers and tests that check parts by hand.
std::string Sha256Hex(const std::string& data);
std::string HmacSha256Hex(const std::string& key, const std::string& message);
// Standard Base64 decoding; false on a malformed text.
bool Base64Decode(const std::string& text, std::string& bytes);

}  // namespace platform_peer
