#pragma once
// Platform calls made the way the desktop client makes them: styled JSON
// bodies, the four headers in order, the HMAC-SHA256 signature and the
// client ticket.
#include <cstdint>
#include <string>

#include <json/value.h>

#include "peers/clients.h"

namespace cloudsim_test {

struct Credentials {
    std::string userId;
    std::string accessKey;
    std::string secretKey;
};

// The demo user of the built-in configuration, and its guest.
Credentials DemoUser();
Credentials GuestUser();

int64_t NowMs();
std::string Styled(const Json::Value& value);
std::string Base64(const std::string& bytes);
std::string ClientTicket(const std::string& userId, int64_t ms);
peers::HeaderList SignedHeaders(const std::string& accessKey, const std::string& secret, int64_t ms,
                                const std::string& body);

// POSTs body (styled) to baseUrl + path, signed with the credentials at ms (0: now).
peers::HttpClientReply PostSigned(const std::string& baseUrl, const std::string& path, const std::string& body,
                                  const std::string& accessKey, const std::string& secret, int64_t ms = 0);

Json::Value PhoneConnectBody(const std::string& userId, const std::string& instanceNo, int64_t ms);
// Signed phone-connect; the parsed answer (null when the reply is not JSON).
Json::Value PhoneConnect(const std::string& baseUrl, const Credentials& user, const std::string& instanceNo);
Json::Value RefreshSession(const std::string& baseUrl, const Credentials& user, const std::string& sessionId);

Json::Value ParseJson(const std::string& text);

}  // namespace cloudsim_test
