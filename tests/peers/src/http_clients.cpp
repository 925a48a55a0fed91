// Blocking HTTP/1.1 clients: one request per connection, or many on one
// keep-alive connection.
#include <optional>

#include "client_io.h"
#include "peers/clients.h"

namespace peers {
namespace {

// One client connection, plain or TLS.
struct HttpConnection {
    asio::io_context ioc{1};
    std::unique_ptr<asio::ssl::context> sslCtx;
    std::optional<PlainStream> plain;
    std::optional<TlsStream> tls;
    beast::flat_buffer buffer;

    beast::tcp_stream& Lowest() { return tls ? beast::get_lowest_layer(*tls) : *plain; }

    bool Open(const Url& url, Clock::time_point deadline) {
        Close();
        buffer.clear();
        if (url.tls) {
            if (!sslCtx) sslCtx = MakeClientTlsContext();
            if (!sslCtx) return false;
            tls.emplace(ioc, *sslCtx);
        } else {
            plain.emplace(ioc);
        }
        if (!ConnectTcp(ioc, Lowest(), url, deadline) || (tls && !HandshakeTls(ioc, *tls, url.host, deadline))) {
            Close();
            return false;
        }
        return true;
    }

    bool IsOpen() const { return plain || tls; }

    void Close() {
        if (IsOpen()) Lowest().close();
        tls.reset();
        plain.reset();
    }

    // Sends req and reads the answer into reply; false on any failure.
    bool Exchange(http::request<http::string_body>& req, HttpClientReply& reply, bool& keepAlive,
                  Clock::time_point deadline) {
        error_code ec;
        bool done = false;
        auto onWrite = [&](error_code e, size_t) {
            ec = e;
            done = true;
        };
        if (tls)
            http::async_write(*tls, req, onWrite);
        else
            http::async_write(*plain, req, onWrite);
        if (!RunOrCut(ioc, [&] { return done; }, deadline, Lowest()) || ec) return false;

        http::response_parser<http::string_body> parser;
        parser.body_limit(kBodyLimit);
        parser.header_limit(kHeaderLimit);
        if (req.method() == http::verb::head) parser.skip(true);
        done = false;
        if (tls)
            http::async_read(*tls, buffer, parser, onWrite);
        else
            http::async_read(*plain, buffer, parser, onWrite);
        if (!RunOrCut(ioc, [&] { return done; }, deadline, Lowest()) || ec) return false;
        auto res = parser.release();
        reply.status = static_cast<int>(res.result_int());
        reply.headers = ToHeaderList(res.base());
        reply.body = std::move(res.body());
        keepAlive = res.keep_alive();
        return true;
    }
};

http::request<http::string_body> MakeRequest(const std::string& method, const Url& url, const std::string& body,
                                             const HeaderList& headers, bool keepAlive) {
    http::request<http::string_body> req;
    req.version(11);
    const http::verb verb = http::string_to_verb(method);
    if (verb == http::verb::unknown)
        req.method_string(method);
    else
        req.method(verb);
    req.target(url.target);
    req.set(http::field::host, url.host + ":" + url.port);
    req.keep_alive(keepAlive);
    for (const auto& h : headers) req.insert(h.first, h.second);
    req.body() = body;
    if (!req.chunked() && req.find(http::field::content_length) == req.end() &&
        (!body.empty() || verb == http::verb::post || verb == http::verb::put))
        req.content_length(body.size());
    return req;
}

}  // namespace

HttpClientReply HttpFetch(const std::string& method, const std::string& url, const std::string& body,
                          const HeaderList& headers, int timeoutMs) {
    HttpClientReply reply;
    Url parsed;
    if (!ParseUrl(url, parsed)) return reply;
    const auto deadline = DeadlineIn(timeoutMs);
    HttpConnection conn;
    if (!conn.Open(parsed, deadline)) return reply;
    auto req = MakeRequest(method, parsed, body, headers, false);
    bool keepAlive = false;
    if (!conn.Exchange(req, reply, keepAlive, deadline)) reply = HttpClientReply{};
    conn.Close();
    return reply;
}

struct HttpKeepAliveClient::Impl {
    Url url;
    bool valid = false;
    HttpConnection conn;
};

HttpKeepAliveClient::HttpKeepAliveClient(const std::string& baseUrl) : m_impl(std::make_unique<Impl>()) {
    m_impl->valid = ParseUrl(baseUrl, m_impl->url);
}

HttpKeepAliveClient::~HttpKeepAliveClient() { m_impl->conn.Close(); }

HttpClientReply HttpKeepAliveClient::Post(const std::string& target, const std::string& body) {
    HttpClientReply reply;
    if (!m_impl->valid) return reply;
    const auto deadline = DeadlineIn(10000);
    if (!m_impl->conn.IsOpen() && !m_impl->conn.Open(m_impl->url, deadline)) return reply;
    Url url = m_impl->url;
    url.target = target.empty() ? "/" : target;
    auto req = MakeRequest("POST", url, body, {}, true);
    bool keepAlive = false;
    if (!m_impl->conn.Exchange(req, reply, keepAlive, deadline)) {
        reply = HttpClientReply{};
        keepAlive = false;
    }
    if (!keepAlive) m_impl->conn.Close();
    return reply;
}

}  // namespace peers
