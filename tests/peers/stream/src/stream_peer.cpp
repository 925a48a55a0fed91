#include "stream_peer/stream_peer.h"

#include <chrono>

namespace stream_peer {

StreamPeer::StreamPeer(bool tls) {
    peers::WsHandlers handlers;
    handlers.onUpgrade = [this](const peers::HttpRequest&) {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_upgrades;
        m_changed.notify_all();
        return m_upgradeStatus;
    };
    handlers.onOpen = [this](std::shared_ptr<peers::WsSession> session) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_newest = session;
        m_changed.notify_all();
    };
    handlers.onMessage = [this](std::shared_ptr<peers::WsSession> session, const std::string& data, bool binary) {
        OnMessage(session, data, binary);
    };
    handlers.onClose = [this](std::shared_ptr<peers::WsSession>) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_changed.notify_all();
    };
    m_server = std::make_unique<peers::WsServer>(std::move(handlers), tls);
}

StreamPeer::~StreamPeer() { m_server->Stop(); }

std::string StreamPeer::Url() const { return m_server->BaseUrl() + "/stream"; }

void StreamPeer::SetAuthAnswer(AuthAnswer answer) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_auth = std::move(answer);
}

void StreamPeer::SetPlayAnswer(PlayAnswer answer) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_play = std::move(answer);
}

void StreamPeer::SetEchoDelay(bool echo) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_echo = echo;
}

void StreamPeer::SetEchoShiftMs(int64_t shiftMs) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_echoShiftMs = shiftMs;
}

void StreamPeer::SetUpgradeStatus(int status) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_upgradeStatus = status;
}

void StreamPeer::SetOnPackage(std::function<void(const ClientPackage&)> hook) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_hook = std::move(hook);
}

void StreamPeer::OnMessage(const std::shared_ptr<peers::WsSession>& session, const std::string& data, bool binary) {
    if (!binary || data.size() < 8) return;
    ClientPackage package;
    package.session = session->Id();
    auto byte = [&data](size_t i) { return static_cast<uint32_t>(static_cast<uint8_t>(data[i])); };
    package.type = byte(0) << 24 | byte(1) << 16 | byte(2) << 8 | byte(3);
    package.declaredLength = byte(4) << 24 | byte(5) << 16 | byte(6) << 8 | byte(7);
    package.raw = data;
    package.body = data.substr(8);
    std::function<void(const ClientPackage&)> hook;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_received.push_back(package);
        hook = m_hook;
        m_changed.notify_all();
    }
    if (hook) hook(package);
    Answer(session, package);
}

void StreamPeer::Answer(const std::shared_ptr<peers::WsSession>& session, const ClientPackage& package) {
    AuthAnswer auth;
    PlayAnswer play;
    bool echo;
    int64_t shift;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        auth = m_auth;
        play = m_play;
        echo = m_echo;
        shift = m_echoShiftMs;
    }
    TableReader table = package.Table();
    if (package.type == kAuthReq && auth.send) {
        MessageWriter w;
        w.I32(0, auth.code).Str(1, auth.msg).Str(2, "region-a").Str(3, "node-7").Str(4, auth.hubVersion)
            .Str(5, auth.codecs).I64(6, table.I64(7));
        session->SendBinary(w.Package(kAuthRes));
    } else if (package.type == kPlayReq && play.send) {
        MessageWriter w;
        w.I32(0, play.code).Str(1, play.msg).U32(2, play.videoCodec).U32(3, play.bitrate).U32(4, play.fps)
            .U32(5, play.width).U32(6, play.height).U32(7, play.audioCodec).U32(8, play.sampleRate)
            .U32(9, play.channels).Str(10, "stream-1").I64(11, table.I64(11));
        session->SendBinary(w.Package(kPlayRes));
    } else if (package.type == kDelay && echo) {
        MessageWriter w;
        w.I64(0, table.I64(0) - shift);
        session->SendBinary(w.Package(kDelay));
    }
}

bool StreamPeer::Send(const std::string& frame) {
    std::shared_ptr<peers::WsSession> session;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        session = m_newest.lock();
    }
    if (!session || !session->IsOpen()) return false;
    session->SendBinary(frame);
    return true;
}

bool StreamPeer::SendText(const std::string& text) {
    std::shared_ptr<peers::WsSession> session;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        session = m_newest.lock();
    }
    if (!session || !session->IsOpen()) return false;
    session->SendText(text);
    return true;
}

void StreamPeer::DropAll() {
    for (auto& session : m_server->Sessions()) session->Drop();
}

void StreamPeer::CloseAll() {
    for (auto& session : m_server->Sessions()) session->Close();
}

std::vector<ClientPackage> StreamPeer::Received() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_received;
}

std::vector<ClientPackage> StreamPeer::ReceivedOf(uint32_t type) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<ClientPackage> out;
    for (const auto& p : m_received)
        if (p.type == type) out.push_back(p);
    return out;
}

size_t StreamPeer::CountOf(uint32_t type) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    size_t n = 0;
    for (const auto& p : m_received) n += p.type == type;
    return n;
}

size_t StreamPeer::Connections() const { return m_server->AcceptedCount(); }

size_t StreamPeer::Upgrades() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_upgrades;
}

void StreamPeer::ClearReceived() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_received.clear();
}

bool StreamPeer::WaitFor(const std::function<bool()>& condition, int timeoutMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::unique_lock<std::mutex> lock(m_mutex);
    while (true) {
        lock.unlock();
        bool done = condition();
        lock.lock();
        if (done) return true;
        // Wake at least every 20 ms: some conditions (accepted counts) change without a notification.
        auto next = std::chrono::steady_clock::now() + std::chrono::milliseconds(20);
        if (next > deadline) next = deadline;
        if (m_changed.wait_until(lock, next) == std::cv_status::timeout && std::chrono::steady_clock::now() >= deadline) {
            lock.unlock();
            return condition();
        }
    }
}

bool StreamPeer::WaitForCount(uint32_t type, size_t count, int timeoutMs) {
    return WaitFor([this, type, count] { return CountOf(type) >= count; }, timeoutMs);
}

bool StreamPeer::WaitForConnections(size_t count, int timeoutMs) {
    return WaitFor([this, count] { return Connections() >= count; }, timeoutMs);
}

}  // namespace stream_peer
