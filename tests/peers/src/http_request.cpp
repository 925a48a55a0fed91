#include <strings.h>

#include "peers/http_server.h"

namespace peers {

std::string HttpRequest::Header(const std::string& name) const {
    for (const auto& h : headers)
        if (::strcasecmp(h.first.c_str(), name.c_str()) == 0) return h.second;
    return "";
}

}  // namespace peers
