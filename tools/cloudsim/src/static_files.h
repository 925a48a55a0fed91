#pragma once
// Serves the files of one folder (the front-end page) over GET. Paths that
// would leave the folder are refused.
#include <string>

#include "peers/http_server.h"

namespace cloudsim {

class StaticFiles {
public:
    explicit StaticFiles(std::string root);
    bool Enabled() const { return !m_root.empty(); }
    // path: the request path; "/" serves index.html.
    peers::HttpReply Serve(const std::string& path) const;

private:
    std::string m_root;
};

// The Content-Type for a file name's extension.
std::string ContentTypeFor(const std::string& fileName);

}  // namespace cloudsim
