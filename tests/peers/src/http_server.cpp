// Scripted HTTP/1.1 server: one thread runs an io_context; each connection
// reads requests in turn (keep-alive), asks the handler and sends its reply.
#include "peers/http_server.h"

#include <strings.h>

#include <boost/asio/steady_timer.hpp>
#include <boost/asio/strand.hpp>
#include <chrono>
#include <cstdio>
#include <future>
#include <mutex>
#include <optional>
#include <thread>
#include <unordered_map>

#include "beast_common.h"
#include "server_loop.h"
#include "tls_contexts.h"

namespace peers {
namespace {

class Connection {
public:
    virtual ~Connection() = default;
    virtual void Start() = 0;
    virtual void Cut() = 0;  // close the socket; pending operations end
};

bool IsBodyless(int status) { return status / 100 == 1 || status == 204 || status == 304; }

struct ServerCore {
    HttpHandler handler;
    bool tls = false;
    uint16_t port = 0;
    std::unique_ptr<asio::ssl::context> sslCtx;  // outlives every stream

    mutable std::mutex mutex;
    std::vector<HttpRequest> requests;
    bool keepRequests = true;
    size_t requestCount = 0;

    // Server thread only (or after it was joined).
    std::unordered_map<Connection*, std::weak_ptr<Connection>> live;

    std::unique_ptr<ServerLoop> net;
    std::thread thread;
    std::mutex stopMutex;
    bool stopped = false;

    bool Open(uint16_t wantedPort);
    void Accept();
    void CloseAll();
    void Stop();
    void Record(const HttpRequest& req) {
        std::lock_guard<std::mutex> lock(mutex);
        ++requestCount;
        if (keepRequests) requests.push_back(req);
    }
};

template <class Stream>
class HttpConnection : public Connection, public std::enable_shared_from_this<HttpConnection<Stream>> {
public:
    HttpConnection(ServerCore& server, Stream stream)
        : m_server(server), m_stream(std::move(stream)), m_timer(m_stream.get_executor()) {}
    ~HttpConnection() override { m_server.live.erase(this); }

    void Start() override {
        if constexpr (kIsTls<Stream>) {
            beast::get_lowest_layer(m_stream).expires_after(std::chrono::seconds(10));
            m_stream.async_handshake(asio::ssl::stream_base::server, [self = this->shared_from_this()](error_code ec) {
                if (ec) return;
                beast::get_lowest_layer(self->m_stream).expires_never();
                self->ReadHeader();
            });
        } else {
            ReadHeader();
        }
    }

    void Cut() override {
        m_timer.cancel();
        beast::get_lowest_layer(m_stream).close();
    }

private:
    void ReadHeader() {
        m_parser.emplace();
        m_parser->body_limit(kBodyLimit);
        m_parser->header_limit(kHeaderLimit);
        http::async_read_header(m_stream, m_buffer, *m_parser,
                                [self = this->shared_from_this()](error_code ec, size_t) {
                                    if (ec) return;
                                    self->OnHeader();
                                });
    }

    void OnHeader() {
        const auto& req = m_parser->get();
        if (::strcasecmp(std::string(req[http::field::expect]).c_str(), "100-continue") == 0 &&
            !m_parser->is_done()) {
            m_continue.emplace(http::status::continue_, req.version());
            http::async_write(m_stream, *m_continue, [self = this->shared_from_this()](error_code ec, size_t) {
                if (!ec) self->ReadBody();
            });
            return;
        }
        ReadBody();
    }

    void ReadBody() {
        if (m_parser->is_done()) return OnRequest();
        http::async_read(m_stream, m_buffer, *m_parser, [self = this->shared_from_this()](error_code ec, size_t) {
            if (!ec) self->OnRequest();
        });
    }

    void OnRequest() {
        http::request<http::string_body> req = m_parser->release();
        m_parser.reset();
        HttpRequest record = ToHttpRequest(req);
        record.body = std::move(req.body());
        m_keepAlive = req.keep_alive();
        m_version = req.version();
        m_head = req.method() == http::verb::head;
        m_server.Record(record);
        try {
            m_reply = m_server.handler ? m_server.handler(record) : HttpReply{};
        } catch (...) {
            m_reply = HttpReply{};
            m_reply.status = 500;
        }
        if (m_reply.drop) return Cut();
        if (m_reply.delayMs > 0) {
            m_timer.expires_after(std::chrono::milliseconds(m_reply.delayMs));
            m_timer.async_wait([self = this->shared_from_this()](error_code ec) {
                if (!ec) self->Answer();
            });
            return;
        }
        Answer();
    }

    template <class Message>
    void FillHeader(Message& msg) {
        msg.version(m_version);
        const int status = m_reply.status;
        msg.result(status >= 100 && status <= 999 ? static_cast<unsigned>(status) : 500u);
        msg.keep_alive(m_keepAlive);
        for (const auto& h : m_reply.headers) msg.insert(h.first, h.second);
    }

    void Answer() {
        if (m_reply.chunked) return AnswerChunked();
        m_response.emplace();
        FillHeader(*m_response);
        m_closeAfter = !m_response->keep_alive();
        const auto given = m_response->find(http::field::content_length);
        if (given != m_response->end()) {
            // A scripted Content-Length that does not match the body ends the
            // connection after the body, so the client sees a short answer.
            if (std::string(given->value()) != std::to_string(m_reply.body.size())) m_closeAfter = true;
        } else if (!IsBodyless(m_reply.status)) {
            m_response->content_length(m_reply.body.size());
        }
        if (!m_head && !IsBodyless(m_reply.status)) m_response->body() = std::move(m_reply.body);
        http::async_write(m_stream, *m_response,
                          [self = this->shared_from_this()](error_code ec, size_t) { self->AfterAnswer(ec); });
    }

    void AnswerChunked() {
        m_chunkHead.emplace();
        FillHeader(*m_chunkHead);
        m_chunkHead->chunked(true);
        m_closeAfter = !m_chunkHead->keep_alive();
        m_chunkPos = 0;
        m_chunkSerializer.emplace(*m_chunkHead);
        http::async_write_header(m_stream, *m_chunkSerializer, [self = this->shared_from_this()](error_code ec, size_t) {
            if (ec) return;
            self->WriteChunk();
        });
    }

    void WriteChunk() {
        auto self = this->shared_from_this();
        const std::string& body = m_reply.body;
        if (m_head || m_chunkPos >= body.size()) {
            asio::async_write(m_stream, http::make_chunk_last(),
                              [self](error_code ec, size_t) { self->AfterAnswer(ec); });
            return;
        }
        const size_t n = std::min(std::max<size_t>(m_reply.chunkSize, 1), body.size() - m_chunkPos);
        asio::async_write(m_stream, http::make_chunk(asio::buffer(body.data() + m_chunkPos, n)),
                          [self, n](error_code ec, size_t) {
                              if (ec) return;
                              self->m_chunkPos += n;
                              self->WriteChunk();
                          });
    }

    void AfterAnswer(error_code ec) {
        m_response.reset();
        m_chunkSerializer.reset();
        m_chunkHead.reset();
        m_reply = HttpReply{};
        if (ec) return;
        if (m_closeAfter) return Shutdown();
        ReadHeader();
    }

    void Shutdown() {
        if constexpr (kIsTls<Stream>) {
            beast::get_lowest_layer(m_stream).expires_after(std::chrono::seconds(2));
            m_stream.async_shutdown([self = this->shared_from_this()](error_code) { self->Cut(); });
        } else {
            error_code ec;
            m_stream.socket().shutdown(tcp::socket::shutdown_send, ec);
            m_stream.expires_after(std::chrono::seconds(2));
            Drain();
        }
    }

    // Waits for the client's FIN so unread bytes do not turn the close into a reset.
    void Drain() {
        m_stream.async_read_some(asio::buffer(m_drain), [self = this->shared_from_this()](error_code ec, size_t) {
            if (ec) return self->Cut();
            self->Drain();
        });
    }

    ServerCore& m_server;
    Stream m_stream;
    asio::steady_timer m_timer;
    beast::flat_buffer m_buffer;
    std::optional<http::request_parser<http::string_body>> m_parser;
    std::optional<http::response<http::empty_body>> m_continue;
    std::optional<http::response<http::string_body>> m_response;
    std::optional<http::response<http::empty_body>> m_chunkHead;
    std::optional<http::response_serializer<http::empty_body>> m_chunkSerializer;
    HttpReply m_reply;
    size_t m_chunkPos = 0;
    unsigned m_version = 11;
    bool m_keepAlive = true;
    bool m_head = false;
    bool m_closeAfter = false;
    char m_drain[512];
};

}  // namespace

struct HttpServer::Impl : ServerCore {};

bool ServerCore::Open(uint16_t wantedPort) {
    net = std::make_unique<ServerLoop>();
    port = net->Listen(wantedPort, "HTTP server");
    if (port == 0) {
        net.reset();
        return false;
    }
    return true;
}

void ServerCore::Accept() {
    net->acceptor.async_accept(asio::make_strand(net->ioc), [this](error_code ec, tcp::socket socket) {
        if (!net->acceptor.is_open()) return;
        if (!ec) {
            error_code ignored;
            socket.set_option(tcp::no_delay(true), ignored);  // answers leave at once
            std::shared_ptr<Connection> conn;
            if (tls)
                conn = std::make_shared<HttpConnection<TlsStream>>(*this, TlsStream(std::move(socket), *sslCtx));
            else
                conn = std::make_shared<HttpConnection<PlainStream>>(*this, PlainStream(std::move(socket)));
            live.emplace(conn.get(), conn);
            conn->Start();
        }
        Accept();
    });
}

void ServerCore::CloseAll() {
    error_code ec;
    net->acceptor.close(ec);
    for (auto& entry : live)
        if (auto conn = entry.second.lock()) conn->Cut();
}

void ServerCore::Stop() {
    std::lock_guard<std::mutex> lock(stopMutex);
    if (!net) return;
    if (!StopServerLoop(*net, thread, stopped, [this] { CloseAll(); })) return;
    net.reset();  // destroys what is left of the connections
}

HttpServer::HttpServer(HttpHandler handler, bool tls, uint16_t port) : m_impl(std::make_unique<Impl>()) {
    m_impl->handler = std::move(handler);
    m_impl->tls = tls;
    if (tls) {
        m_impl->sslCtx = MakeServerTlsContext();
        if (!m_impl->sslCtx) return;
    }
    if (!m_impl->Open(port)) return;
    m_impl->Accept();
    m_impl->thread = std::thread([impl = m_impl.get()] { impl->net->ioc.run(); });
}

HttpServer::~HttpServer() {
    m_impl->Stop();
    if (m_impl->thread.joinable()) m_impl->thread.detach();  // only when destroyed on its own thread
}

uint16_t HttpServer::Port() const { return m_impl->port; }

std::string HttpServer::BaseUrl() const {
    return std::string(m_impl->tls ? "https" : "http") + "://127.0.0.1:" + std::to_string(m_impl->port);
}

std::vector<HttpRequest> HttpServer::Requests() const {
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    return m_impl->requests;
}

size_t HttpServer::RequestCount() const {
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    return m_impl->requestCount;
}

void HttpServer::KeepRequests(bool keep) {
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    m_impl->keepRequests = keep;
}

void HttpServer::Stop() { m_impl->Stop(); }

}  // namespace peers
