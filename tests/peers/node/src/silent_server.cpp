#include "peers/silent_server.h"

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <list>
#include <mutex>
#include <thread>

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>

namespace peers {

namespace asio = boost::asio;
using asio::ip::tcp;

struct SilentServer::Impl {
    asio::io_context io;
    tcp::acceptor acceptor{io};
    std::list<std::pair<tcp::socket, std::array<char, 4096>>> connections;  // server thread only
    std::thread thread;
    mutable std::mutex mutex;
    mutable std::condition_variable changed;
    size_t accepted = 0;
    size_t closed = 0;

    void Count(size_t& counter) {
        std::lock_guard<std::mutex> lock(mutex);
        ++counter;
        changed.notify_all();
    }

    void Accept() {
        acceptor.async_accept([this](boost::system::error_code ec, tcp::socket socket) {
            if (ec) return;
            connections.emplace_back(std::move(socket), std::array<char, 4096>{});
            Count(accepted);
            Read(std::prev(connections.end()));
            Accept();
        });
    }

    // Reads and discards whatever arrives until the client goes away.
    void Read(std::list<std::pair<tcp::socket, std::array<char, 4096>>>::iterator conn) {
        conn->first.async_read_some(asio::buffer(conn->second), [this, conn](boost::system::error_code ec, size_t) {
            if (ec) {
                if (ec != asio::error::operation_aborted) Count(closed);
                return;
            }
            Read(conn);
        });
    }
};

SilentServer::SilentServer() : m_impl(std::make_unique<Impl>()) {
    tcp::endpoint endpoint(asio::ip::make_address("127.0.0.1"), 0);
    m_impl->acceptor.open(endpoint.protocol());
    m_impl->acceptor.set_option(tcp::acceptor::reuse_address(true));
    m_impl->acceptor.bind(endpoint);
    m_impl->acceptor.listen();
    m_impl->Accept();
    m_impl->thread = std::thread([impl = m_impl.get()] { impl->io.run(); });
}

SilentServer::~SilentServer() {
    m_impl->io.stop();
    if (m_impl->thread.joinable()) m_impl->thread.join();
}

uint16_t SilentServer::Port() const { return m_impl->acceptor.local_endpoint().port(); }

std::string SilentServer::Url() const { return "ws://127.0.0.1:" + std::to_string(Port()) + "/gcnode"; }

size_t SilentServer::AcceptedCount() const {
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    return m_impl->accepted;
}

size_t SilentServer::ClosedCount() const {
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    return m_impl->closed;
}

bool SilentServer::WaitUntil(const std::function<bool()>& condition, int timeoutMs) const {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::unique_lock<std::mutex> lock(m_impl->mutex);
        m_impl->changed.wait_for(lock, std::chrono::milliseconds(50));
    }
    return true;
}

}  // namespace peers
