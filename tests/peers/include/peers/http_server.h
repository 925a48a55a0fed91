#pragma once
// A scripted HTTP/1.1 server on 127.0.0.1 (plain or TLS) for tests. Each
// request is answered by the handler, on the server's own thread.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace peers {

using HeaderList = std::vector<std::pair<std::string, std::string>>;

struct HttpRequest {
    std::string method;  // "GET", "POST", ...
    std::string target;  // path and query as sent
    HeaderList headers;  // in the order they arrived
    std::string body;
    // First header of that name (case-insensitive), or "" when absent.
    std::string Header(const std::string& name) const;
};

struct HttpReply {
    int status = 200;
    HeaderList headers;         // Content-Type etc.; Content-Length is added unless chunked
    std::string body;
    bool chunked = false;       // send the body with chunked transfer coding
    size_t chunkSize = 1024;    // bytes per chunk when chunked
    int delayMs = 0;            // wait this long before answering
    bool drop = false;          // close the connection without any answer
};

using HttpHandler = std::function<HttpReply(const HttpRequest&)>;

class HttpServer {
public:
    // tls: serve HTTPS with TestTls(). port 0 picks a free port.
    explicit HttpServer(HttpHandler handler, bool tls = false, uint16_t port = 0);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    uint16_t Port() const;
    // "http://127.0.0.1:<port>" or "https://127.0.0.1:<port>"
    std::string BaseUrl() const;
    // Every request received so far, oldest first (thread-safe copy).
    std::vector<HttpRequest> Requests() const;
    size_t RequestCount() const;
    // false: requests are still counted but no longer kept, so that a
    // long-running server (the local cloud) does not grow with every call.
    void KeepRequests(bool keep);
    void Stop();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace peers
