// Life cycle of the link: Init, UnInit, UpdateSessionId and the factory.
#include "ws_control.h"

#include <chrono>
#include <cstring>

#include "common/qv_log.h"
#include "relay_port_params.h"

namespace relay_port {

int64_t NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

int64_t SteadyMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::shared_ptr<IRelayPort> IRelayPort::Create() { return std::make_shared<CWSControl>(); }

void CLinkNoticProxy::OnWebSocketData(const char* data, size_t length, int frameKind, void* userData) {
    if (auto owner = m_owner.lock()) owner->OnWebSocketData(data, length, frameKind, userData);
}

void CLinkNoticProxy::OnResult(std::shared_ptr<net_engine::IHttpHandleInterface> handle,
                               net_engine::HttpResult result, void* userData) {
    if (auto owner = m_owner.lock()) owner->OnResult(std::move(handle), result, userData);
}

void CLinkNoticProxy::OnTimer(std::shared_ptr<net_engine::ITimerHandleInterface> timer, void* userData) {
    if (auto owner = m_owner.lock()) owner->OnTimer(std::move(timer), userData);
}

CWSControl::CWSControl() = default;

CWSControl::~CWSControl() { UnInit(); }

bool CWSControl::CheckParams(const char* user, const char* url, const WsAuthParam* auth, const WsVideoParam* video,
                             const WsAudioParam* audio, const WsSystemParam* system, const IRelayPortNotic* notic) {
    if (!user || !url || !auth || !video || !audio || !system || !notic) return false;
    if (auth->instanceNo[0] == '\0' || auth->sessionId[0] == '\0') {
        QV_LOG(QV_LOG_ERROR, "[RELAY_PORT]instanceNo or sessionId is empty");
        return false;
    }
    if (!CheckVideoParam(*video)) {
        QV_LOG(QV_LOG_ERROR, "[RELAY_PORT]video param is illegal");
        return false;
    }
    if (!CheckAudioParam(*audio)) {
        QV_LOG(QV_LOG_ERROR, "[RELAY_PORT]audio param is illegal");
        return false;
    }
    if (!CheckSystemParam(*system)) {
        QV_LOG(QV_LOG_ERROR, "[RELAY_PORT]ws system param is illegal");
        return false;
    }
    return true;
}

int CWSControl::Init(const char* user, const char* url, const WsAuthParam* auth, const WsVideoParam* video,
                     const WsAudioParam* audio, const WsSystemParam* system, std::shared_ptr<IRelayPortNotic> notic) {
    int expected = 0;
    if (!m_state.compare_exchange_strong(expected, 1)) return -1;
    if (!CheckParams(user, url, auth, video, audio, system, notic.get())) {
        QV_LOG(QV_LOG_ERROR, "[RELAY_PORT]check param failed");
        m_state = 0;
        return -1;
    }

    auto engine = net_engine::INetEngine::Create();
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        m_auth = *auth;
        m_auth.sessionId[sizeof(m_auth.sessionId) - 1] = '\0';
        m_sessionId = std::make_shared<const std::string>(m_auth.sessionId);
        m_video = *video;
        m_audio = *audio;
        m_system = *system;
        m_user = user;
        m_url = url;
        m_notic = std::move(notic);
        m_proxy = std::make_shared<CLinkNoticProxy>(weak_from_this());
        m_handle.reset();
        m_engine = engine;
        m_lastMoveMs = 0;
        m_lastEchoMs = 0;
    }
    m_autoReconnect = system->reconnect != 0;
    m_ready = false;

    bool ok = true;
    if (engine->Init(nullptr, nullptr) != 0) {
        QV_LOG(QV_LOG_ERROR, "[RELAY_PORT]net_engine failed");
        ok = false;
    } else if (engine->Start() != 0) {
        QV_LOG(QV_LOG_ERROR, "[RELAY_PORT]Start net_engine failed");
        ok = false;
    } else if (Connect() == 0) {
        QV_LOG(QV_LOG_INFO, "[RELAY_PORT]Begin WSConnect succ!");
    } else {
        QV_LOG(QV_LOG_ERROR, "[RELAY_PORT]Begin WSConnect failed; ");
        if (!m_autoReconnect) {
            ok = false;
        } else {
            QV_LOG(QV_LOG_INFO, "[RELAY_PORT]Start reconnect timer!");
            if (StartReconnectTimer("[RELAY_PORT]Add ReConnectTimer failed", QV_LOG_FATAL) != 0) ok = false;
        }
    }
    if (!ok) {
        // Nothing of this attempt may outlive it: the engine thread is stopped and joined.
        ReleaseAll();
        m_notic.reset();
        m_state = 0;
        return -1;
    }
    m_state = 2;
    return 0;
}

void CWSControl::ReleaseAll() {
    HandlePtr handle;
    TimerPtr timers[4];
    std::shared_ptr<net_engine::INetEngine> engine;
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        handle = std::move(m_handle);
        timers[0] = std::move(m_delayTimer);
        timers[1] = std::move(m_reconnectTimer);
        timers[2] = std::move(m_checkTimer);
        timers[3] = std::move(m_disconnectTimer);
        engine = std::move(m_engine);
        m_handle.reset();
        m_delayTimer.reset();
        m_reconnectTimer.reset();
        m_checkTimer.reset();
        m_disconnectTimer.reset();
        m_engine.reset();
    }
    m_ready = false;
    if (!engine) return;
    if (handle) engine->DelHttpReq(handle, true, nullptr, nullptr);
    for (auto& timer : timers) {
        if (timer) engine->DelTimerReq(timer, false, nullptr, nullptr);
    }
    engine->Stop(true);
}

int CWSControl::UnInit() {
    int expected = 2;
    if (!m_state.compare_exchange_strong(expected, 3)) return -1;
    m_autoReconnect = false;
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        m_system.reconnect = 0;
    }
    ReleaseAll();
    m_notic.reset();
    m_state = 0;
    QV_LOG(QV_LOG_DETAIL, "[RELAY_PORT]ws control UnInit");
    return 0;
}

int CWSControl::UpdateSessionId(const char* sessionId) {
    if (!sessionId) return -1;
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    common::CopyText(m_auth.sessionId, sessionId);
    m_sessionId = std::make_shared<const std::string>(m_auth.sessionId);
    return 0;
}

std::shared_ptr<const std::string> CWSControl::SessionId() {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_sessionId ? m_sessionId : std::make_shared<const std::string>();
}

}  // namespace relay_port
