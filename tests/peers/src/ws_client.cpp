// Blocking WebSocket client. A read, once started, stays pending across
// calls: a Receive that times out leaves it running, and any later call
// that runs the io_context may complete it into the inbox.
#include <boost/beast/websocket.hpp>
#include <boost/beast/websocket/ssl.hpp>
#include <deque>
#include <optional>

#include "client_io.h"
#include "peers/clients.h"

namespace peers {

namespace websocket = beast::websocket;

struct WsClient::Impl {
    asio::io_context ioc{1};
    std::unique_ptr<asio::ssl::context> sslCtx;
    std::optional<websocket::stream<PlainStream>> plain;
    std::optional<websocket::stream<TlsStream>> tls;
    beast::flat_buffer readBuffer;
    std::deque<std::pair<std::string, bool>> inbox;
    bool reading = false;
    bool open = false;

    beast::tcp_stream& Lowest() { return tls ? beast::get_lowest_layer(*tls) : beast::get_lowest_layer(*plain); }
    bool HasStream() const { return plain || tls; }

    template <class F>
    auto With(F&& f) {
        return tls ? f(*tls) : f(*plain);
    }

    void Reset() {
        if (HasStream()) Lowest().close();
        if (ioc.stopped()) ioc.restart();
        while (ioc.poll() > 0) {
        }
        plain.reset();
        tls.reset();
        inbox.clear();
        readBuffer.clear();
        reading = false;
        open = false;
    }

    void StartRead() {
        reading = true;
        With([this](auto& ws) {
            ws.async_read(readBuffer, [this, &ws](error_code ec, size_t) {
                reading = false;
                if (ec) {
                    open = false;
                    return;
                }
                inbox.emplace_back(beast::buffers_to_string(readBuffer.data()), ws.got_binary());
                readBuffer.consume(readBuffer.size());
            });
        });
    }

    bool Send(const std::string& bytes, bool binary) {
        if (!open) return false;
        error_code ec;
        bool done = false;
        With([&](auto& ws) {
            ws.binary(binary);
            ws.async_write(asio::buffer(bytes), [&](error_code e, size_t) {
                ec = e;
                done = true;
            });
        });
        if (!RunOrCut(ioc, [&] { return done; }, DeadlineIn(10000), Lowest()) || ec) {
            open = false;
            return false;
        }
        return true;
    }

    bool Connect(const Url& url, const HeaderList& headers, Clock::time_point deadline) {
        if (url.tls) {
            if (!sslCtx) sslCtx = MakeClientTlsContext();
            if (!sslCtx) return false;
            tls.emplace(ioc, *sslCtx);
        } else {
            plain.emplace(ioc);
        }
        if (!ConnectTcp(ioc, Lowest(), url, deadline) ||
            (tls && !HandshakeTls(ioc, tls->next_layer(), url.host, deadline)))
            return false;
        error_code ec;
        bool done = false;
        With([&](auto& ws) {
            ws.set_option(websocket::stream_base::decorator([headers](websocket::request_type& req) {
                for (const auto& h : headers) req.insert(h.first, h.second);
            }));
            ws.auto_fragment(false);
            ws.read_message_max(kBodyLimit);
            ws.async_handshake(url.host + ":" + url.port, url.target, [&](error_code e) {
                ec = e;
                done = true;
            });
        });
        if (!RunOrCut(ioc, [&] { return done; }, deadline, Lowest()) || ec) return false;
        open = true;
        return true;
    }

    void Close() {
        if (open) {
            error_code ec;
            bool done = false;
            With([&](auto& ws) {
                ws.async_close(websocket::close_code::normal, [&](error_code e) {
                    ec = e;
                    done = true;
                });
            });
            const auto deadline = DeadlineIn(2000);
            RunOrCut(ioc, [&] { return done && !reading; }, deadline, Lowest());
        }
        Reset();
    }
};

WsClient::WsClient() : m_impl(std::make_unique<Impl>()) {}

WsClient::~WsClient() { m_impl->Close(); }

bool WsClient::Connect(const std::string& url, const HeaderList& headers, int timeoutMs) {
    m_impl->Close();
    Url parsed;
    if (!ParseUrl(url, parsed) || (parsed.scheme != "ws" && parsed.scheme != "wss")) return false;
    if (m_impl->Connect(parsed, headers, DeadlineIn(timeoutMs))) return true;
    m_impl->Reset();
    return false;
}

bool WsClient::SendBinary(const std::string& bytes) { return m_impl->Send(bytes, true); }

bool WsClient::SendText(const std::string& text) { return m_impl->Send(text, false); }

bool WsClient::Receive(std::string& data, bool& binary, int timeoutMs) {
    Impl& impl = *m_impl;
    if (impl.inbox.empty() && impl.open) {
        if (!impl.reading) impl.StartRead();
        RunWhile(impl.ioc, [&] { return !impl.inbox.empty() || !impl.open; }, DeadlineIn(timeoutMs));
    }
    if (impl.inbox.empty()) return false;
    data = std::move(impl.inbox.front().first);
    binary = impl.inbox.front().second;
    impl.inbox.pop_front();
    return true;
}

void WsClient::Close() { m_impl->Close(); }

bool WsClient::IsOpen() const { return m_impl->open; }

}  // namespace peers
