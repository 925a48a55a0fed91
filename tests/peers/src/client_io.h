#pragma once
// Blocking steps for the clients: each starts an async operation on the
// client's own io_context and runs it until it is done or the deadline passes.
#include <chrono>
#include <string>

#include "beast_common.h"
#include "tls_contexts.h"
#include "url.h"

namespace peers {

using Clock = std::chrono::steady_clock;

inline Clock::time_point DeadlineIn(int ms) { return Clock::now() + std::chrono::milliseconds(ms > 0 ? ms : 1); }

// Runs handlers until done() or the deadline; false on time-out or lack of work.
template <class Done>
bool RunWhile(asio::io_context& ioc, Done done, Clock::time_point deadline) {
    if (ioc.stopped()) ioc.restart();
    while (!done())
        if (ioc.run_one_until(deadline) == 0) break;
    return done();
}

// Like RunWhile, but a time-out closes the socket and waits for the aborted handlers.
template <class Done>
bool RunOrCut(asio::io_context& ioc, Done done, Clock::time_point deadline, beast::tcp_stream& lowest) {
    if (RunWhile(ioc, done, deadline)) return true;
    lowest.close();
    if (ioc.stopped()) ioc.restart();
    while (!done())
        if (ioc.run_one() == 0) break;
    return false;
}

inline bool ConnectTcp(asio::io_context& ioc, beast::tcp_stream& lowest, const Url& url, Clock::time_point deadline) {
    error_code ec;
    tcp::resolver resolver(ioc);
    const auto endpoints = resolver.resolve(url.host, url.port, ec);
    if (ec) return false;
    bool done = false;
    lowest.async_connect(endpoints, [&](error_code e, const tcp::endpoint&) {
        ec = e;
        done = true;
    });
    if (!RunOrCut(ioc, [&] { return done; }, deadline, lowest) || ec) return false;
    lowest.socket().set_option(tcp::no_delay(true), ec);
    return true;
}

inline bool HandshakeTls(asio::io_context& ioc, TlsStream& stream, const std::string& host,
                         Clock::time_point deadline) {
    if (!PrepareClientTls(stream.native_handle(), host)) return false;
    error_code ec;
    bool done = false;
    stream.async_handshake(asio::ssl::stream_base::client, [&](error_code e) {
        ec = e;
        done = true;
    });
    return RunOrCut(ioc, [&] { return done; }, deadline, beast::get_lowest_layer(stream)) && !ec;
}

}  // namespace peers
