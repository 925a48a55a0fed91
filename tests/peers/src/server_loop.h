#pragma once
// What the HTTP and WebSocket test servers share: one io_context run by one
// thread, an acceptor on 127.0.0.1, and stopping it from any thread.
#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/io_context.hpp>

#include <cstdint>
#include <functional>
#include <thread>

#include "beast_common.h"

namespace peers {

struct ServerLoop {
    asio::io_context ioc{1};
    asio::executor_work_guard<asio::io_context::executor_type> guard{ioc.get_executor()};
    tcp::acceptor acceptor{ioc};

    // Listens on 127.0.0.1:wantedPort (0: a free port); the port, or 0 with
    // a line naming what on stderr.
    uint16_t Listen(uint16_t wantedPort, const char* what);
};

// Stops a server loop once: runs closeAll on the loop's thread (waiting up to
// 5 s when called from another thread), then stops the io_context. Joins the
// thread unless called on it; true when it was joined (or had ended).
bool StopServerLoop(ServerLoop& loop, std::thread& thread, bool& stopped, const std::function<void()>& closeAll);

}  // namespace peers
