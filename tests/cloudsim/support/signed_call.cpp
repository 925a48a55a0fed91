#include "signed_call.h"

#include <chrono>
#include <memory>

#include <json/reader.h>
#include <openssl/evp.h>

#include "platform_peer/request_verifier.h"

namespace cloudsim_test {

Credentials DemoUser() { return {"demo-user", "demo-access-key", "demo-secret-key"}; }
Credentials GuestUser() { return {"guest", "guest-access-key", "guest-secret-key"}; }

int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

std::string Styled(const Json::Value& value) { return value.toStyledString(); }

std::string Base64(const std::string& bytes) {
    std::string out(4 * ((bytes.size() + 2) / 3) + 1, '\0');
    const int length = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(&out[0]),
                                       reinterpret_cast<const unsigned char*>(bytes.data()),
                                       static_cast<int>(bytes.size()));
    out.resize(static_cast<size_t>(length));
    return out;
}

std::string ClientTicket(const std::string& userId, int64_t ms) {
    return Base64(userId + ",3,1.1.0," + std::to_string(ms));
}

peers::HeaderList SignedHeaders(const std::string& accessKey, const std::string& secret, int64_t ms,
                                const std::string& body) {
    const std::string signature =
        platform_peer::HmacSha256Hex(secret, std::to_string(ms) + "#" + platform_peer::Sha256Hex(body));
    return {{"Content-Type", "application/json"},
            {"Platform-Access-Key", accessKey},
            {"Platform-Request-DateTime", std::to_string(ms)},
            {"Platform-Request-Signature", signature}};
}

peers::HttpClientReply PostSigned(const std::string& baseUrl, const std::string& path, const std::string& body,
                                  const std::string& accessKey, const std::string& secret, int64_t ms) {
    if (ms == 0) ms = NowMs();
    return peers::HttpFetch("POST", baseUrl + path, body, SignedHeaders(accessKey, secret, ms, body));
}

Json::Value PhoneConnectBody(const std::string& userId, const std::string& instanceNo, int64_t ms) {
    Json::Value body(Json::objectValue);
    body["userId"] = userId;
    body["instanceNo"] = instanceNo;
    body["clientTicket"] = ClientTicket(userId, ms);
    return body;
}

Json::Value PhoneConnect(const std::string& baseUrl, const Credentials& user, const std::string& instanceNo) {
    const int64_t ms = NowMs();
    const peers::HttpClientReply reply =
        PostSigned(baseUrl, "/sdk/instance/phone-connect", Styled(PhoneConnectBody(user.userId, instanceNo, ms)),
                   user.accessKey, user.secretKey, ms);
    return ParseJson(reply.body);
}

Json::Value RefreshSession(const std::string& baseUrl, const Credentials& user, const std::string& sessionId) {
    Json::Value body(Json::objectValue);
    body["sessionId"] = sessionId;
    return ParseJson(
        PostSigned(baseUrl, "/sdk/instance/refresh-session", Styled(body), user.accessKey, user.secretKey).body);
}

Json::Value ParseJson(const std::string& text) {
    Json::CharReaderBuilder builder;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value value;
    std::string errors;
    if (!reader->parse(text.data(), text.data() + text.size(), &value, &errors)) return Json::Value();
    return value;
}

}  // namespace cloudsim_test
