#pragma once
// A local platform REST server for tests: HTTPS (or plain HTTP) on 127.0.0.1,
// every request checked with VerifyPlatformRequest, answers scripted per path.
#include <cstddef>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "peers/http_server.h"
#include "platform_peer/request_verifier.h"

namespace platform_peer {

struct ReceivedCall {
    peers::HttpRequest request;
    VerifiedRequest verified;
    std::string error;  // "" when the request passed every check
};

class PlatformPeer {
public:
    // keys: access key -> secret the peer accepts. tls: serve HTTPS.
    explicit PlatformPeer(KeyTable keys, bool tls = true);
    ~PlatformPeer();
    PlatformPeer(const PlatformPeer&) = delete;
    PlatformPeer& operator=(const PlatformPeer&) = delete;

    std::string BaseUrl() const;
    // Accept another key pair from now on (e.g. statistics keys handed out).
    void AddKey(const std::string& accessKey, const std::string& secret);

    // Queue an answer for the next request to path; requests with nothing
    // queued get the default answer of the path (see SetDefault), or
    // 404 when there is none. A request that fails the check is answered
    // 401 with the error text as body, without using a queued answer.
    void Script(const std::string& path, peers::HttpReply reply);
    void Script(const std::string& path, int status, const std::string& body);
    void SetDefault(const std::string& path, peers::HttpReply reply);

    std::vector<ReceivedCall> Calls() const;
    std::vector<ReceivedCall> CallsTo(const std::string& path) const;
    size_t CallCount() const;
    // Every error text seen so far, one per failed request.
    std::vector<std::string> Errors() const;

    void Stop();

private:
    peers::HttpReply Answer(const peers::HttpRequest& request);

    mutable std::mutex m_mutex;
    KeyTable m_keys;
    std::map<std::string, std::vector<peers::HttpReply>> m_scripted;
    std::map<std::string, peers::HttpReply> m_defaults;
    std::vector<ReceivedCall> m_calls;
    std::unique_ptr<peers::HttpServer> m_server;  // last: stopped first
};

}  // namespace platform_peer
