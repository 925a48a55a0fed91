#pragma once
// Certificates made at test time: a throw-away CA and a server certificate
// for 127.0.0.1 and localhost signed by it.
#include <string>

namespace peers {

struct TlsFiles {
    std::string dir;       // folder holding the files below
    std::string caFile;    // PEM of the CA; what a verifying client trusts
    std::string certFile;  // PEM of the server certificate (SAN IP:127.0.0.1, DNS:localhost)
    std::string keyFile;   // PEM of the server key
};

// Makes (once per process) and returns the files in a fresh temporary folder.
const TlsFiles& TestTls();

}  // namespace peers
