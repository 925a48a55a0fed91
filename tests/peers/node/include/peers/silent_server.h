#pragma once
// A TCP server on 127.0.0.1 that accepts connections and never answers: what
// a node looks like when it hangs before the WebSocket upgrade. It counts the
// connections it accepted and those the client closed.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace peers {

class SilentServer {
public:
    SilentServer();
    ~SilentServer();
    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;

    uint16_t Port() const;
    // "ws://127.0.0.1:<port>/gcnode"
    std::string Url() const;
    size_t AcceptedCount() const;
    size_t ClosedCount() const;
    // Waits until condition holds, re-checking at least every 50 ms.
    bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 10000) const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace peers
