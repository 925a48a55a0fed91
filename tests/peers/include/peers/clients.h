#pragma once
// Plain blocking Boost.Beast clients for tests and for benchmark baselines.
#include <cstdint>
#include <memory>
#include <string>

#include "peers/http_server.h"

namespace peers {

struct HttpClientReply {
    int status = 0;        // 0 when the request failed
    HeaderList headers;
    std::string body;
};

// One request on a new connection; https:// verifies against TestTls().
HttpClientReply HttpFetch(const std::string& method, const std::string& url, const std::string& body = "",
                          const HeaderList& headers = {}, int timeoutMs = 5000);

// A keep-alive connection for many requests in a row (benchmarks).
class HttpKeepAliveClient {
public:
    explicit HttpKeepAliveClient(const std::string& baseUrl);
    ~HttpKeepAliveClient();
    HttpClientReply Post(const std::string& target, const std::string& body);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

class WsClient {
public:
    WsClient();
    ~WsClient();
    // url: ws:// or wss:// with a path; wss verifies against TestTls().
    bool Connect(const std::string& url, const HeaderList& headers = {}, int timeoutMs = 5000);
    bool SendBinary(const std::string& bytes);
    bool SendText(const std::string& text);
    // Reads one whole message; false on time-out, close or error.
    bool Receive(std::string& data, bool& binary, int timeoutMs = 5000);
    void Close();
    bool IsOpen() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace peers
