#pragma once
// A scripted WebSocket server on 127.0.0.1 (plain or TLS) for tests. The
// handlers run on the server's own thread; WsSession operations may be
// called from any thread.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "peers/http_server.h"

namespace peers {

class WsSession {
public:
    virtual ~WsSession() = default;
    virtual int Id() const = 0;                          // 1, 2, ... in order of acceptance
    virtual const HttpRequest& Upgrade() const = 0;      // the upgrade request (target, headers)
    virtual void SendText(const std::string& text) = 0;
    virtual void SendBinary(const std::string& bytes) = 0;
    // One message split over `frames` frames (continuations), binary or text.
    virtual void SendFragmented(const std::string& bytes, bool binary, size_t frames) = 0;
    virtual void Ping(const std::string& payload = "") = 0;
    virtual void Close(uint16_t code = 1000) = 0;        // close handshake
    virtual void Drop() = 0;                             // cut the TCP connection without a close frame
    virtual bool IsOpen() const = 0;
};

struct WsHandlers {
    // Decides the answer to an upgrade request: return 101 to accept, any
    // other status to refuse it with that plain HTTP answer. Default accepts.
    std::function<int(const HttpRequest&)> onUpgrade;
    std::function<void(std::shared_ptr<WsSession>)> onOpen;
    std::function<void(std::shared_ptr<WsSession>, const std::string& data, bool binary)> onMessage;
    std::function<void(std::shared_ptr<WsSession>)> onClose;  // either side closed, or dropped
};

// What a server speaks on its one port. kEither serves TLS to a client whose
// first byte opens a TLS handshake and plain WebSocket to any other, so one
// advertised port answers both "ws://" and "wss://".
enum class WsTransport { kPlain, kTls, kEither };

class WsServer {
public:
    explicit WsServer(WsHandlers handlers, bool tls = false, uint16_t port = 0);
    WsServer(WsHandlers handlers, WsTransport transport, uint16_t port);
    ~WsServer();
    WsServer(const WsServer&) = delete;
    WsServer& operator=(const WsServer&) = delete;

    uint16_t Port() const;
    // "ws://127.0.0.1:<port>" or "wss://127.0.0.1:<port>" ("ws://" for kEither)
    std::string BaseUrl() const;
    std::string BaseUrl(bool tls) const;
    // Sessions accepted so far that are still open.
    std::vector<std::shared_ptr<WsSession>> Sessions() const;
    size_t AcceptedCount() const;
    void Stop();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace peers
