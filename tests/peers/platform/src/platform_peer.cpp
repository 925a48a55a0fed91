#include "platform_peer/platform_peer.h"

#include <utility>

namespace platform_peer {

PlatformPeer::PlatformPeer(KeyTable keys, bool tls) : m_keys(std::move(keys)) {
    m_server = std::make_unique<peers::HttpServer>(
        [this](const peers::HttpRequest& request) { return Answer(request); }, tls);
}

PlatformPeer::~PlatformPeer() { Stop(); }

std::string PlatformPeer::BaseUrl() const { return m_server->BaseUrl(); }

void PlatformPeer::AddKey(const std::string& accessKey, const std::string& secret) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_keys[accessKey] = secret;
}

void PlatformPeer::Script(const std::string& path, peers::HttpReply reply) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_scripted[path].push_back(std::move(reply));
}

void PlatformPeer::Script(const std::string& path, int status, const std::string& body) {
    peers::HttpReply reply;
    reply.status = status;
    reply.headers = {{"Content-Type", "application/json"}};
    reply.body = body;
    Script(path, std::move(reply));
}

void PlatformPeer::SetDefault(const std::string& path, peers::HttpReply reply) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_defaults[path] = std::move(reply);
}

std::vector<ReceivedCall> PlatformPeer::Calls() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_calls;
}

std::vector<ReceivedCall> PlatformPeer::CallsTo(const std::string& path) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<ReceivedCall> matching;
    for (const auto& call : m_calls) {
        if (call.verified.path == path) matching.push_back(call);
    }
    return matching;
}

size_t PlatformPeer::CallCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_calls.size();
}

std::vector<std::string> PlatformPeer::Errors() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<std::string> errors;
    for (const auto& call : m_calls) {
        if (!call.error.empty()) errors.push_back(call.verified.path + ": " + call.error);
    }
    return errors;
}

void PlatformPeer::Stop() {
    if (m_server) m_server->Stop();
}

peers::HttpReply PlatformPeer::Answer(const peers::HttpRequest& request) {
    ReceivedCall call;
    call.request = request;
    std::lock_guard<std::mutex> lock(m_mutex);
    call.error = VerifyPlatformRequest(request, m_keys, {}, &call.verified);
    const std::string path = call.verified.path;
    const bool accepted = call.error.empty();
    peers::HttpReply reply;
    if (!accepted) {
        reply.status = 401;
        reply.body = call.error;
    }
    m_calls.push_back(std::move(call));
    if (!accepted) return reply;

    auto scripted = m_scripted.find(path);
    if (scripted != m_scripted.end() && !scripted->second.empty()) {
        reply = std::move(scripted->second.front());
        scripted->second.erase(scripted->second.begin());
        return reply;
    }
    auto fallback = m_defaults.find(path);
    if (fallback != m_defaults.end()) return fallback->second;
    reply.status = 404;
    reply.body = "no answer scripted for " + path;
    return reply;
}

}  // namespace platform_peer
