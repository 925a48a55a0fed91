#include "static_files.h"

#include <fstream>
#include <sstream>
#include <sys/stat.h>

#include "http_helpers.h"

namespace cloudsim {
namespace {

constexpr size_t kMaxFileBytes = 64u << 20;

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// A relative path of plain segments, or "" when a segment is empty, "." or "..".
std::string SafeRelativePath(const std::string& path) {
    std::string relative = path.empty() || path == "/" ? "/index.html" : path;
    if (relative.back() == '/') relative += "index.html";
    std::string out;
    size_t pos = 1;
    while (pos <= relative.size()) {
        size_t end = relative.find('/', pos);
        if (end == std::string::npos) end = relative.size();
        const std::string segment = relative.substr(pos, end - pos);
        if (segment.empty() || segment == "." || segment == ".." || segment.find('\\') != std::string::npos ||
            segment.find('\0') != std::string::npos) {
            return "";
        }
        out += (out.empty() ? "" : "/") + segment;
        pos = end + 1;
    }
    return out;
}

}  // namespace

std::string ContentTypeFor(const std::string& fileName) {
    static const std::pair<const char*, const char*> kTypes[] = {
        {".html", "text/html; charset=utf-8"}, {".js", "text/javascript; charset=utf-8"},
        {".css", "text/css; charset=utf-8"},   {".json", "application/json"},
        {".png", "image/png"},                 {".jpg", "image/jpeg"},
        {".svg", "image/svg+xml"},             {".ico", "image/x-icon"},
        {".txt", "text/plain; charset=utf-8"}};
    for (const auto& type : kTypes) {
        if (EndsWith(fileName, type.first)) return type.second;
    }
    return "application/octet-stream";
}

StaticFiles::StaticFiles(std::string root) : m_root(std::move(root)) {}

peers::HttpReply StaticFiles::Serve(const std::string& path) const {
    if (!Enabled()) return TextReply(404, "not found");
    const std::string relative = SafeRelativePath(path);
    if (relative.empty()) return TextReply(404, "not found");
    const std::string file = m_root + "/" + relative;
    struct stat info {};
    if (stat(file.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return TextReply(404, "not found");
    if (static_cast<size_t>(info.st_size) > kMaxFileBytes) return TextReply(413, "file too large");
    std::ifstream in(file, std::ios::binary);
    if (!in) return TextReply(404, "not found");
    std::ostringstream content;
    content << in.rdbuf();
    peers::HttpReply reply;
    reply.headers = {{"Content-Type", ContentTypeFor(relative)}, {"Cache-Control", "no-cache"}};
    reply.body = content.str();
    return reply;
}

}  // namespace cloudsim
