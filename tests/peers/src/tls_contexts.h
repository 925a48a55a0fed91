#pragma once
// TLS settings shared by the servers and clients: servers present the test
// certificate, clients trust only the test CA and check the peer's name or IP.
#include <boost/asio/ssl/context.hpp>
#include <openssl/ssl.h>

#include <memory>
#include <string>

namespace peers {

// nullptr when the certificate files cannot be loaded.
std::unique_ptr<boost::asio::ssl::context> MakeServerTlsContext();
std::unique_ptr<boost::asio::ssl::context> MakeClientTlsContext();
// Sets SNI (for names) and the identity the certificate must carry.
bool PrepareClientTls(SSL* ssl, const std::string& host);

}  // namespace peers
