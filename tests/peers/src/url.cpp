#include "url.h"

#include <algorithm>
#include <cctype>

namespace peers {

bool ParseUrl(const std::string& text, Url& out) {
    const size_t sep = text.find("://");
    if (sep == std::string::npos) return false;
    Url url;
    url.scheme = text.substr(0, sep);
    std::transform(url.scheme.begin(), url.scheme.end(), url.scheme.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (url.scheme == "http" || url.scheme == "ws") {
        url.port = "80";
    } else if (url.scheme == "https" || url.scheme == "wss") {
        url.port = "443";
        url.tls = true;
    } else {
        return false;
    }
    const size_t hostStart = sep + 3;
    const size_t pathStart = text.find_first_of("/?", hostStart);
    std::string authority = text.substr(hostStart, pathStart == std::string::npos ? std::string::npos
                                                                                   : pathStart - hostStart);
    url.target = pathStart == std::string::npos ? "/" : text.substr(pathStart);
    if (url.target[0] == '?') url.target.insert(0, "/");
    if (!authority.empty() && authority[0] == '[') {  // [v6]:port
        const size_t close = authority.find(']');
        if (close == std::string::npos) return false;
        url.host = authority.substr(1, close - 1);
        if (close + 1 < authority.size()) {
            if (authority[close + 1] != ':') return false;
            url.port = authority.substr(close + 2);
        }
    } else {
        const size_t colon = authority.rfind(':');
        url.host = authority.substr(0, colon);
        if (colon != std::string::npos) url.port = authority.substr(colon + 1);
    }
    if (url.host.empty() || url.port.empty() ||
        !std::all_of(url.port.begin(), url.port.end(), [](unsigned char c) { return std::isdigit(c); }))
        return false;
    out = url;
    return true;
}

}  // namespace peers
