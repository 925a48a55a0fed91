#include "tls_contexts.h"

#include <openssl/x509v3.h>

#include <boost/asio/ip/address.hpp>
#include <cstdio>

#include "peers/tls_files.h"

namespace peers {
namespace ssl = boost::asio::ssl;

std::unique_ptr<ssl::context> MakeServerTlsContext() {
    const TlsFiles& files = TestTls();
    auto ctx = std::make_unique<ssl::context>(ssl::context::tls_server);
    boost::system::error_code ec;
    ctx->set_options(ssl::context::default_workarounds | ssl::context::no_sslv2 | ssl::context::no_sslv3 |
                         ssl::context::no_tlsv1 | ssl::context::no_tlsv1_1,
                     ec);
    if (!ec) ctx->use_certificate_chain_file(files.certFile, ec);
    if (!ec) ctx->use_private_key_file(files.keyFile, ssl::context::pem, ec);
    if (ec) {
        std::fprintf(stderr, "[test_peers] server TLS setup failed: %s\n", ec.message().c_str());
        return nullptr;
    }
    return ctx;
}

std::unique_ptr<ssl::context> MakeClientTlsContext() {
    auto ctx = std::make_unique<ssl::context>(ssl::context::tls_client);
    boost::system::error_code ec;
    ctx->load_verify_file(TestTls().caFile, ec);
    if (!ec) ctx->set_verify_mode(ssl::verify_peer, ec);
    if (ec) {
        std::fprintf(stderr, "[test_peers] client TLS setup failed: %s\n", ec.message().c_str());
        return nullptr;
    }
    return ctx;
}

bool PrepareClientTls(SSL* ssl, const std::string& host) {
    boost::system::error_code ec;
    boost::asio::ip::make_address(host, ec);
    if (!ec)  // an IP literal: no SNI, the certificate must list the address
        return X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(ssl), host.c_str()) == 1;
    return SSL_set_tlsext_host_name(ssl, host.c_str()) == 1 && SSL_set1_host(ssl, host.c_str()) == 1;
}

}  // namespace peers
