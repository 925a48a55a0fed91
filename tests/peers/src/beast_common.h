#pragma once
// Aliases and small helpers shared by the Beast servers and clients.
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/ssl/stream.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/ssl.hpp>

#include <string>
#include <type_traits>

#include "peers/http_server.h"

namespace peers {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;
using error_code = boost::system::error_code;

using PlainStream = beast::tcp_stream;
using TlsStream = beast::ssl_stream<beast::tcp_stream>;

template <class Stream>
constexpr bool kIsTls = std::is_same<Stream, TlsStream>::value;

// Requests up to this size are read whole.
constexpr std::uint64_t kBodyLimit = 256ull << 20;
constexpr std::uint32_t kHeaderLimit = 64u << 10;

template <class Fields>
HeaderList ToHeaderList(const Fields& fields) {
    HeaderList out;
    for (const auto& f : fields) out.emplace_back(std::string(f.name_string()), std::string(f.value()));
    return out;
}

template <class Body>
HttpRequest ToHttpRequest(const http::request<Body>& req) {
    HttpRequest out;
    out.method = std::string(req.method_string());
    out.target = std::string(req.target());
    out.headers = ToHeaderList(req.base());
    return out;
}

}  // namespace peers
