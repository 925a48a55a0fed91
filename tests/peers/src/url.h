#pragma once
// Splits "scheme://host[:port][/target]" for http, https, ws and wss.
#include <string>

namespace peers {

struct Url {
    std::string scheme;  // lower case
    std::string host;
    std::string port;    // the scheme's default when absent
    std::string target;  // "/" when absent
    bool tls = false;
};

bool ParseUrl(const std::string& text, Url& out);

}  // namespace peers
