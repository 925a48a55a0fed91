// Scripted WebSocket server: one thread runs an io_context; each connection
// reads the upgrade request, lets onUpgrade decide, then runs a read loop and
// a write queue (one write in flight) fed by its session handle.
#include "peers/ws_server.h"

#include <boost/asio/strand.hpp>
#include <boost/beast/websocket.hpp>
#include <boost/beast/websocket/ssl.hpp>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <deque>
#include <future>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <unordered_map>

#include "beast_common.h"
#include "server_loop.h"
#include "tls_contexts.h"

namespace peers {
namespace {

namespace websocket = beast::websocket;

struct Outgoing {
    enum Kind { kText, kBinary, kFragmented, kPing, kClose } kind = kText;
    std::string data;
    bool binary = true;
    size_t frames = 1;
    uint16_t code = 1000;

    static Outgoing Of(Kind kind, std::string data, bool binary = true, size_t frames = 1, uint16_t code = 1000) {
        Outgoing out;
        out.kind = kind;
        out.data = std::move(data);
        out.binary = binary;
        out.frames = frames;
        out.code = code;
        return out;
    }
};

class WsConnection {
public:
    virtual ~WsConnection() = default;
    virtual void Start() = 0;
    virtual void Push(Outgoing out) = 0;  // server thread
    virtual void Cut() = 0;               // server thread
};

// Lets session handles reach the server thread while it runs; cleared before
// the io_context goes away, so handles may outlive the server.
struct Gate {
    std::mutex mutex;
    asio::io_context* ioc = nullptr;

    template <class F>
    void Post(F&& f) {
        std::lock_guard<std::mutex> lock(mutex);
        if (ioc) asio::post(*ioc, std::forward<F>(f));
    }
};

class SessionHandle : public WsSession {
public:
    SessionHandle(int id, HttpRequest upgrade, std::shared_ptr<Gate> gate, std::weak_ptr<WsConnection> conn)
        : m_id(id), m_upgrade(std::move(upgrade)), m_gate(std::move(gate)), m_conn(std::move(conn)) {}

    int Id() const override { return m_id; }
    const HttpRequest& Upgrade() const override { return m_upgrade; }
    void SendText(const std::string& text) override { Send(Outgoing::Of(Outgoing::kText, text)); }
    void SendBinary(const std::string& bytes) override { Send(Outgoing::Of(Outgoing::kBinary, bytes)); }
    void SendFragmented(const std::string& bytes, bool binary, size_t frames) override {
        Send(Outgoing::Of(Outgoing::kFragmented, bytes, binary, frames));
    }
    void Ping(const std::string& payload) override { Send(Outgoing::Of(Outgoing::kPing, payload)); }
    void Close(uint16_t code) override {
        Send(Outgoing::Of(Outgoing::kClose, "", true, 1, code));
    }
    void Drop() override {
        m_gate->Post([conn = m_conn] {
            if (auto c = conn.lock()) c->Cut();
        });
    }
    bool IsOpen() const override { return m_open.load(); }
    void SetOpen(bool open) { m_open.store(open); }

private:
    void Send(Outgoing out) {
        m_gate->Post([conn = m_conn, out = std::move(out)]() mutable {
            if (auto c = conn.lock()) c->Push(std::move(out));
        });
    }

    const int m_id;
    const HttpRequest m_upgrade;
    std::shared_ptr<Gate> m_gate;
    std::weak_ptr<WsConnection> m_conn;
    std::atomic<bool> m_open{false};
};

struct WsCore {
    WsHandlers handlers;
    WsTransport transport = WsTransport::kPlain;
    uint16_t port = 0;
    std::unique_ptr<asio::ssl::context> sslCtx;  // outlives every stream
    std::shared_ptr<Gate> gate = std::make_shared<Gate>();

    mutable std::mutex mutex;
    std::map<int, std::shared_ptr<SessionHandle>> open;
    size_t accepted = 0;

    // Server thread only (or after it was joined).
    std::unordered_map<WsConnection*, std::weak_ptr<WsConnection>> live;
    bool stopping = false;  // no more handler calls
    int nextId = 0;

    std::unique_ptr<ServerLoop> net;
    std::thread thread;
    std::mutex stopMutex;
    bool stopped = false;

    bool Open(uint16_t wantedPort);
    void Accept();
    void StartConnection(tcp::socket socket, bool tls);
    void CloseAll();
    void Stop();
};

template <class NextLayer>
class WsConnectionOf : public WsConnection, public std::enable_shared_from_this<WsConnectionOf<NextLayer>> {
public:
    WsConnectionOf(WsCore& server, NextLayer stream) : m_server(server), m_ws(std::move(stream)) {}
    ~WsConnectionOf() override { m_server.live.erase(this); }

    void Start() override {
        beast::get_lowest_layer(m_ws).expires_after(std::chrono::seconds(10));
        if constexpr (kIsTls<NextLayer>) {
            m_ws.next_layer().async_handshake(asio::ssl::stream_base::server,
                                              [self = this->shared_from_this()](error_code ec) {
                                                  if (!ec) self->ReadUpgrade();
                                              });
        } else {
            ReadUpgrade();
        }
    }

    void Push(Outgoing out) override {
        if (!m_opened || m_ended) return;
        m_queue.push_back(std::move(out));
        if (!m_writing) WriteNext();
    }

    void Cut() override { beast::get_lowest_layer(m_ws).close(); }

private:
    void ReadUpgrade() {
        m_parser.emplace();
        m_parser->header_limit(kHeaderLimit);
        m_parser->body_limit(kHeaderLimit);
        http::async_read(m_ws.next_layer(), m_buffer, *m_parser,
                         [self = this->shared_from_this()](error_code ec, size_t) {
                             if (!ec) self->OnUpgrade();
                         });
    }

    void OnUpgrade() {
        http::request<http::string_body> req = m_parser->release();
        m_parser.reset();
        HttpRequest record = ToHttpRequest(req);
        record.body = req.body();
        int status = 101;
        if (m_server.handlers.onUpgrade && !m_server.stopping) status = m_server.handlers.onUpgrade(record);
        if (status == 101 && !websocket::is_upgrade(req)) status = 400;
        if (status != 101) return Refuse(status, req.version());

        m_handle = std::make_shared<SessionHandle>(++m_server.nextId, std::move(record), m_server.gate,
                                                   this->weak_from_this());
        beast::get_lowest_layer(m_ws).expires_never();
        websocket::stream_base::timeout timeouts{std::chrono::seconds(10), websocket::stream_base::none(), false};
        m_ws.set_option(timeouts);
        m_ws.auto_fragment(false);
        m_ws.read_message_max(kBodyLimit);
        m_ws.async_accept(req, [self = this->shared_from_this()](error_code ec) {
            if (!ec) self->OnOpen();
        });
    }

    void Refuse(int status, unsigned version) {
        m_refusal.emplace();
        m_refusal->version(version);
        m_refusal->result(status >= 100 && status <= 999 ? static_cast<unsigned>(status) : 500u);
        m_refusal->keep_alive(false);
        m_refusal->content_length(0);
        http::async_write(m_ws.next_layer(), *m_refusal, [self = this->shared_from_this()](error_code ec, size_t) {
            if constexpr (kIsTls<NextLayer>) {
                beast::get_lowest_layer(self->m_ws).expires_after(std::chrono::seconds(2));
                self->m_ws.next_layer().async_shutdown([self](error_code) { self->Cut(); });
            } else {
                error_code ignored;
                beast::get_lowest_layer(self->m_ws).socket().shutdown(tcp::socket::shutdown_send, ignored);
            }
        });
    }

    void OnOpen() {
        m_opened = true;
        m_handle->SetOpen(true);
        {
            std::lock_guard<std::mutex> lock(m_server.mutex);
            m_server.open.emplace(m_handle->Id(), m_handle);
            ++m_server.accepted;
        }
        if (m_server.handlers.onOpen && !m_server.stopping) m_server.handlers.onOpen(m_handle);
        Read();
    }

    void Read() {
        m_ws.async_read(m_buffer, [self = this->shared_from_this()](error_code ec, size_t) {
            if (ec) return self->OnEnded();
            std::string data = beast::buffers_to_string(self->m_buffer.data());
            self->m_buffer.consume(self->m_buffer.size());
            if (self->m_server.handlers.onMessage && !self->m_server.stopping)
                self->m_server.handlers.onMessage(self->m_handle, data, self->m_ws.got_binary());
            self->Read();
        });
    }

    // The read loop ended: close frame, drop or error. Reported once.
    void OnEnded() {
        if (m_ended) return;
        m_ended = true;
        m_queue.clear();
        m_handle->SetOpen(false);
        {
            std::lock_guard<std::mutex> lock(m_server.mutex);
            m_server.open.erase(m_handle->Id());
        }
        Cut();
        if (m_server.handlers.onClose && !m_server.stopping) m_server.handlers.onClose(m_handle);
    }

    void WriteNext() {
        if (m_queue.empty() || m_ended) {
            m_writing = false;
            return;
        }
        m_writing = true;
        auto self = this->shared_from_this();
        auto done = [self](error_code ec, size_t = 0) { self->AfterWrite(ec); };
        Outgoing& out = m_queue.front();
        switch (out.kind) {
            case Outgoing::kText:
            case Outgoing::kBinary:
                m_ws.text(out.kind == Outgoing::kText);
                m_ws.async_write(asio::buffer(out.data), done);
                break;
            case Outgoing::kFragmented:
                m_ws.binary(out.binary);
                m_fragment = 0;
                WriteFragment();
                break;
            case Outgoing::kPing:
                m_ws.async_ping(websocket::ping_data(out.data.substr(0, 125)),
                                [self](error_code ec) { self->AfterWrite(ec); });
                break;
            case Outgoing::kClose:
                m_ws.async_close(websocket::close_reason(out.code), [self](error_code ec) { self->AfterWrite(ec); });
                break;
        }
    }

    // Frame i of n carries bytes [i*size/n, (i+1)*size/n); the last one has FIN.
    void WriteFragment() {
        const Outgoing& out = m_queue.front();
        const size_t frames = std::max<size_t>(out.frames, 1);
        const size_t size = out.data.size();
        const size_t begin = m_fragment * size / frames, end = (m_fragment + 1) * size / frames;
        const bool fin = m_fragment + 1 == frames;
        m_ws.async_write_some(fin, asio::buffer(out.data.data() + begin, end - begin),
                              [self = this->shared_from_this(), fin](error_code ec, size_t) {
                                  if (ec || fin) return self->AfterWrite(ec);
                                  ++self->m_fragment;
                                  self->WriteFragment();
                              });
    }

    void AfterWrite(error_code ec) {
        if (!m_queue.empty()) m_queue.pop_front();
        if (ec) {
            m_queue.clear();
            m_writing = false;
            return;  // the read loop reports the end
        }
        WriteNext();
    }

    WsCore& m_server;
    websocket::stream<NextLayer> m_ws;
    beast::flat_buffer m_buffer;
    std::optional<http::request_parser<http::string_body>> m_parser;
    std::optional<http::response<http::empty_body>> m_refusal;
    std::shared_ptr<SessionHandle> m_handle;
    std::deque<Outgoing> m_queue;
    size_t m_fragment = 0;
    bool m_writing = false;
    bool m_opened = false;
    bool m_ended = false;
};

}  // namespace

struct WsServer::Impl : WsCore {};

bool WsCore::Open(uint16_t wantedPort) {
    net = std::make_unique<ServerLoop>();
    port = net->Listen(wantedPort, "WebSocket server");
    if (port == 0) {
        net.reset();
        return false;
    }
    std::lock_guard<std::mutex> lock(gate->mutex);
    gate->ioc = &net->ioc;
    return true;
}

void WsCore::Accept() {
    net->acceptor.async_accept(asio::make_strand(net->ioc), [this](error_code ec, tcp::socket socket) {
        if (!net->acceptor.is_open()) return;
        if (!ec) {
            error_code ignored;
            socket.set_option(tcp::no_delay(true), ignored);  // answers leave at once
            if (transport != WsTransport::kEither) {
                StartConnection(std::move(socket), transport == WsTransport::kTls);
            } else {
                // A TLS client speaks first with a handshake record (content type 22).
                auto peeked = std::make_shared<tcp::socket>(std::move(socket));
                auto first = std::make_shared<unsigned char>(0);
                peeked->async_receive(asio::buffer(first.get(), 1), tcp::socket::message_peek,
                                      [this, peeked, first](error_code peekError, size_t n) {
                                          if (peekError || n != 1 || stopping) return;
                                          StartConnection(std::move(*peeked), *first == 0x16);
                                      });
            }
        }
        Accept();
    });
}

void WsCore::StartConnection(tcp::socket socket, bool tls) {
    std::shared_ptr<WsConnection> conn;
    if (tls)
        conn = std::make_shared<WsConnectionOf<TlsStream>>(*this, TlsStream(std::move(socket), *sslCtx));
    else
        conn = std::make_shared<WsConnectionOf<PlainStream>>(*this, PlainStream(std::move(socket)));
    live.emplace(conn.get(), conn);
    conn->Start();
}

void WsCore::CloseAll() {
    stopping = true;
    error_code ec;
    net->acceptor.close(ec);
    for (auto& entry : live)
        if (auto conn = entry.second.lock()) conn->Cut();
}

void WsCore::Stop() {
    std::lock_guard<std::mutex> lock(stopMutex);
    if (!net) return;
    {
        std::lock_guard<std::mutex> gateLock(gate->mutex);
        gate->ioc = nullptr;  // session handles post nothing from now on
    }
    if (!StopServerLoop(*net, thread, stopped, [this] { CloseAll(); })) return;
    {
        std::lock_guard<std::mutex> openLock(mutex);
        for (auto& entry : open) entry.second->SetOpen(false);
        open.clear();
    }
    net.reset();  // destroys what is left of the connections
}

WsServer::WsServer(WsHandlers handlers, bool tls, uint16_t port)
    : WsServer(std::move(handlers), tls ? WsTransport::kTls : WsTransport::kPlain, port) {}

WsServer::WsServer(WsHandlers handlers, WsTransport transport, uint16_t port) : m_impl(std::make_unique<Impl>()) {
    m_impl->handlers = std::move(handlers);
    m_impl->transport = transport;
    if (transport != WsTransport::kPlain) {
        m_impl->sslCtx = MakeServerTlsContext();
        if (!m_impl->sslCtx) return;
    }
    if (!m_impl->Open(port)) return;
    m_impl->Accept();
    m_impl->thread = std::thread([impl = m_impl.get()] { impl->net->ioc.run(); });
}

WsServer::~WsServer() {
    m_impl->Stop();
    if (m_impl->thread.joinable()) m_impl->thread.detach();  // only when destroyed on its own thread
}

uint16_t WsServer::Port() const { return m_impl->port; }

std::string WsServer::BaseUrl() const { return BaseUrl(m_impl->transport == WsTransport::kTls); }

std::string WsServer::BaseUrl(bool tls) const {
    return std::string(tls ? "wss" : "ws") + "://127.0.0.1:" + std::to_string(m_impl->port);
}

std::vector<std::shared_ptr<WsSession>> WsServer::Sessions() const {
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    std::vector<std::shared_ptr<WsSession>> out;
    for (const auto& entry : m_impl->open) out.push_back(entry.second);
    return out;
}

size_t WsServer::AcceptedCount() const {
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    return m_impl->accepted;
}

void WsServer::Stop() { m_impl->Stop(); }

}  // namespace peers
