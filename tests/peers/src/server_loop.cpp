#include "server_loop.h"

#include <boost/asio/post.hpp>

#include <chrono>
#include <cstdio>
#include <future>

namespace peers {

uint16_t ServerLoop::Listen(uint16_t wantedPort, const char* what) {
    error_code ec;
    const tcp::endpoint ep(asio::ip::make_address_v4("127.0.0.1"), wantedPort);
    acceptor.open(ep.protocol(), ec);
    if (!ec) acceptor.set_option(asio::socket_base::reuse_address(true), ec);
    if (!ec) acceptor.bind(ep, ec);
    if (!ec) acceptor.listen(asio::socket_base::max_listen_connections, ec);
    if (ec) {
        std::fprintf(stderr, "[test_peers] %s cannot listen on 127.0.0.1:%u: %s\n", what, wantedPort,
                     ec.message().c_str());
        return 0;
    }
    const uint16_t port = acceptor.local_endpoint(ec).port();
    return ec ? 0 : port;
}

bool StopServerLoop(ServerLoop& loop, std::thread& thread, bool& stopped, const std::function<void()>& closeAll) {
    const bool onServerThread = thread.get_id() == std::this_thread::get_id();
    if (!stopped) {
        stopped = true;
        if (onServerThread) {
            closeAll();
        } else {
            std::promise<void> closed;
            asio::post(loop.ioc, [&closeAll, &closed] {
                closeAll();
                closed.set_value();
            });
            closed.get_future().wait_for(std::chrono::seconds(5));
        }
        loop.ioc.stop();
    }
    if (onServerThread) return false;  // joined later from another thread
    if (thread.joinable()) thread.join();
    return true;
}

}  // namespace peers
