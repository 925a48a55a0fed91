// The connection machine: connect, upgrade check, auth, play, delay probe,
// errors, disconnect and reconnect. Runs on the loop thread except Connect
// and StartReconnectTimer, which Init also calls.
#include <cinttypes>

#include "common/qv_log.h"
#include "relay_port/wire_format.h"
#include "relay_port_params.h"
#include "ws_control.h"

namespace relay_port {

using net_engine::IHttpHandleInterface;
using net_engine::ITimerHandleInterface;

namespace {
constexpr int kWsKind = net_engine::HTTP_KIND_WEBSOCKET;
constexpr uint64_t kDelayIntervalMs = 1000;
}  // namespace

CWSControl::HandlePtr CWSControl::NewHandle() {
    auto handle = IHttpHandleInterface::Create();
    if (handle->Init(m_url.c_str(), "1", kWsKind, m_proxy, static_cast<int>(m_system.connectTimeoutMs), 0,
                     nullptr) != 0) {
        QV_LOG(QV_LOG_ERROR, "[RELAY_PORT]init ws handle failed");
        return nullptr;
    }
    handle->SetSSL(nullptr);
    return handle;
}

net_engine::HttpOperationCallback CWSControl::AddCallback() {
    std::weak_ptr<CWSControl> weak = weak_from_this();
    return [weak](std::shared_ptr<IHttpHandleInterface> handle, void*, int result) {
        auto self = weak.lock();
        if (!self) return;
        if (result != 0) {
            QV_LOG(QV_LOG_ERROR, "[RELAY_PORT]AddHttpReq get failed result");
            self->ReleaseHandle(handle);
            return;
        }
        std::lock_guard<std::recursive_mutex> lock(self->m_mutex);
        if (self->m_checkTimer || !self->m_engine || self->m_state == 3) return;
        auto timer = ITimerHandleInterface::Create(self->m_proxy, kCheckIntervalMs, kCheckIntervalMs, nullptr);
        self->m_checkCount = 0;
        self->m_checkTimer = timer;
        if (self->m_engine->AddTimerReq(timer, false, nullptr, nullptr) != 0) {
            QV_LOG(QV_LOG_FATAL, "[RELAY_PORT]Add Check ResultTimer failed");
            self->m_checkTimer.reset();
        }
    };
}

// A handle whose add failed goes through DelHttpReq and is forgotten; the
// next reconnect attempt makes a fresh one.
void CWSControl::ReleaseHandle(const HandlePtr& handle) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (!handle || handle != m_handle) return;
    if (m_engine) m_engine->DelHttpReq(handle, false, nullptr, nullptr);
    m_handle.reset();
}

int CWSControl::Connect() {
    m_ready = false;
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    HandlePtr handle = NewHandle();
    m_handle = handle;
    if (!handle) return -1;
    if (m_engine->AddHttpReq(handle, false, AddCallback(), nullptr) != 0) {
        QV_LOG(QV_LOG_ERROR, "[RELAY_PORT]AddHttpReq failed");
        ReleaseHandle(handle);
        return -1;
    }
    return 0;
}

int CWSControl::StartReconnectTimer(const char* addFailedLine, int addFailedLevel) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (!m_engine || m_state == 3) return -1;
    if (m_reconnectTimer) return m_reconnectTimer->Again(nullptr, nullptr);
    uint64_t interval = m_system.reconnectIntervalMs;
    auto timer = ITimerHandleInterface::Create(m_proxy, interval, interval, nullptr);
    m_reconnectTimer = timer;
    if (m_engine->AddTimerReq(timer, false, nullptr, nullptr) != 0) {
        QV_LOG(addFailedLevel, "%s", addFailedLine);
        m_reconnectTimer.reset();
        return -1;
    }
    return 0;
}

void CWSControl::RestartCheckTimer() {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_checkCount = 0;
    if (m_checkTimer) {
        m_checkTimer->Again(nullptr, nullptr);
        return;
    }
    if (!m_engine || m_state == 3) return;
    auto timer = ITimerHandleInterface::Create(m_proxy, kCheckIntervalMs, kCheckIntervalMs, nullptr);
    m_checkTimer = timer;
    if (m_engine->AddTimerReq(timer, false, nullptr, nullptr) != 0) {
        QV_LOG(QV_LOG_FATAL, "[RELAY_PORT]Add Check ResultTimer failed");
        m_checkTimer.reset();
    }
}

void CWSControl::StopTimer(const TimerPtr& timer) {
    if (timer) timer->Stop(nullptr, nullptr);
}

void CWSControl::DeleteTimer(TimerPtr& slot) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (slot && m_engine) m_engine->DelTimerReq(slot, false, nullptr, nullptr);
    slot.reset();
}

void CWSControl::DisconnectHandle() {
    HandlePtr handle;
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        handle = m_handle;
    }
    if (handle) handle->DisconnectWebSocket();
    m_ready = false;
}

// A failed attempt: with automatic reconnect the reconnect timer is restarted,
// or made when the very first attempt failed, so the link keeps trying.
void CWSControl::TearDownAttempt() {
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        StopTimer(m_checkTimer);
    }
    if (m_autoReconnect) StartReconnectTimer("[RELAY_PORT]Add timer failed", QV_LOG_FATAL);
    DisconnectHandle();
    if (m_notic) m_notic->OnConnectStatus(WS_STATUS_DISCONNECTED);
}

void CWSControl::OnTimer(std::shared_ptr<ITimerHandleInterface> timer, void*) {
    enum { kNone, kCheck, kReconnect, kDelay, kDisconnect } which = kNone;
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        if (timer == m_checkTimer) which = kCheck;
        else if (timer == m_reconnectTimer) which = kReconnect;
        else if (timer == m_delayTimer) which = kDelay;
        else if (timer == m_disconnectTimer) which = kDisconnect;
    }
    switch (which) {
        case kCheck: OnCheckTick(); break;
        case kReconnect: OnReconnectTick(); break;
        case kDelay: OnDelayTick(); break;
        case kDisconnect: OnDisconnectTick(); break;
        case kNone: break;
    }
}

void CWSControl::OnCheckTick() {
    HandlePtr handle;
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        handle = m_handle;
    }
    int code = handle ? handle->GetResponseCode() : -1;
    // Init may still be finishing on its own thread; the upgrade is taken on the next tick.
    if (code == 101 && m_state == 1) return;
    int ticks = code == 101 || code < 0 ? m_checkCount.load() : ++m_checkCount;
    switch (EvaluateUpgrade(code, ticks, m_system.connectTimeoutMs)) {
        case UpgradeCheck::kUpgraded: {
            QV_LOG(QV_LOG_INFO, "[RELAY_PORT]Connetc websocket succ;Begin auth!");
            m_ready = true;
            {
                std::lock_guard<std::recursive_mutex> lock(m_mutex);
                StopTimer(m_checkTimer);
            }
            if (SendAuthReq() != 0) {
                QV_LOG(QV_LOG_ERROR, "[RELAY_PORT]send auth req failed");
                DisconnectHandle();
                if (m_autoReconnect) StartReconnectTimer("[RELAY_PORT]Add timer failed", QV_LOG_FATAL);
                if (m_notic) m_notic->OnConnectStatus(WS_STATUS_DISCONNECTED);
            }
            return;
        }
        case UpgradeCheck::kFailed:
            QV_LOG(QV_LOG_ERROR, "[RELAY_PORT]get websocket rescode:%ld", static_cast<long>(code));
            TearDownAttempt();
            return;
        case UpgradeCheck::kTimedOut:
            QV_LOG(QV_LOG_ERROR, "[RELAY_PORT]get websocket rescode timeout");
            TearDownAttempt();
            return;
        case UpgradeCheck::kWait:
            return;
    }
}

void CWSControl::OnReconnectTick() {
    DisconnectHandle();
    HandlePtr handle;
    std::shared_ptr<net_engine::INetEngine> engine;
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        if (!m_handle) m_handle = NewHandle();
        handle = m_handle;
        engine = m_engine;
    }
    int rc = handle && engine ? engine->AddHttpReq(handle, false, AddCallback(), nullptr) : -1;
    QV_LOG(QV_LOG_INFO, "[RELAY_PORT]Begin connect websocket");
    if (rc != 0) {
        QV_LOG(QV_LOG_ERROR, "[RELAY_PORT]reConnect failed");
        return;
    }
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        StopTimer(m_reconnectTimer);
    }
    RestartCheckTimer();
    if (m_notic) m_notic->OnConnectStatus(WS_STATUS_CONNECTING);
    QV_LOG(QV_LOG_INFO, "[RELAY_PORT]Begin check websocket status timer");
}

void CWSControl::OnDelayTick() {
    int64_t now = NowMs();
    if (EchoAlive(now, m_lastEchoMs)) {
        SendDelayReq(now);
        return;
    }
    QV_LOG(QV_LOG_ERROR, "[RELAY_PORT]delay for[%lld] greater than [%d]; reconnect ws",
           static_cast<long long>(now - m_lastEchoMs), static_cast<int>(kMaxEchoSilenceMs));
    DisconnectAndReconnect();
}

void CWSControl::OnDisconnectTick() {
    DisconnectHandle();
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        DeleteTimer(m_delayTimer);
        DeleteTimer(m_disconnectTimer);
    }
    if (m_notic) m_notic->OnConnectStatus(WS_STATUS_DISCONNECTED);
}

void CWSControl::Disconnect(const char* caller) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (m_disconnectTimer || !m_engine || m_state == 3) return;
    auto timer = ITimerHandleInterface::Create(m_proxy, 0, 0, nullptr);
    m_disconnectTimer = timer;
    if (m_engine->AddTimerReq(timer, false, nullptr, nullptr) != 0) {
        QV_LOG(QV_LOG_FATAL, "[RELAY_PORT][%s]Add timer failed", caller);
        m_disconnectTimer.reset();
        return;
    }
    QV_LOG(QV_LOG_INFO, "[RELAY_PORT]Start Disconnect websocket Timer");
}

void CWSControl::DisconnectAndReconnect() {
    Disconnect("relay_port::CWSControl::DisconnectAndReconnect");
    if (!m_autoReconnect) return;
    if (StartReconnectTimer("[RELAY_PORT]Add timer failed", QV_LOG_FATAL) == 0)
        QV_LOG(QV_LOG_INFO, "[RELAY_PORT]Start reconnect websocket timer");
}

// The engine reports the end of the connection (closed by the server, cut,
// refused, or a send that failed): report it and reconnect on the link's own
// schedule instead of waiting for the delay probe or the connect time-out.
void CWSControl::OnResult(std::shared_ptr<IHttpHandleInterface>, net_engine::HttpResult, void*) {
    int state = m_state.load();
    if (state != 1 && state != 2) return;
    bool ready = m_ready.load();
    QV_LOG(QV_LOG_WARN, "[RELAY_PORT]User[%s] websocket ended, ready[%d]", m_user.c_str(),
           ready ? 1 : 0);
    if (ready) {
        DisconnectAndReconnect();
        return;
    }
    TearDownAttempt();
}

int CWSControl::SendAuthReq() {
    if (!CanSend("relay_port::CWSControl::SendAuthReq")) return -1;
    wire::Package package;
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        m_auth.timestamp = NowMs();
        package = wire::BuildAuthReq(m_auth, m_auth.timestamp);
    }
    return Send(std::move(package));
}

int CWSControl::SendPlayReq() {
    if (!CanSend("relay_port::CWSControl::SendPlayReq")) return -1;
    return Send(wire::BuildPlayReq(m_video, m_audio, *SessionId(), NowMs()));
}

int CWSControl::SendOfferReq() {
    if (!CanSend("relay_port::CWSControl::SendOfferReq")) return -1;
    return Send(wire::BuildOfferReq(*SessionId(), NowMs()));
}

int CWSControl::SendDelayReq(int64_t nowMs) {
    if (!CanSend("relay_port::CWSControl::SendDelayReq")) return -1;
    return Send(wire::BuildDelayReq(nowMs, *SessionId()));
}

int CWSControl::SendDelayReport(uint32_t delayMs, int64_t nowMs) {
    if (!CanSend("relay_port::CWSControl::SendDelayReport")) return -1;
    return Send(wire::BuildDelayReport(delayMs, *SessionId(), nowMs));
}

void CWSControl::HandleAuthRes(const uint8_t* body, size_t length) {
    wire::AuthResult res;
    if (!wire::ParseAuthResult(body, length, &res)) return DropInvalid(wire::kAuthRes, length);
    QV_LOG(QV_LOG_INFO, "[RELAY_PORT]User[%s], unpack_auth_res, code[%d], hubVersion[%s], codecs[%s]",
           m_user.c_str(), res.code, res.hubVersion.c_str(), res.codecs.c_str());
    if (res.code == 0) {
        if (SendPlayReq() != 0) QV_LOG(QV_LOG_ERROR, "[RELAY_PORT]send play req failed");
        return;
    }
    QV_LOG(QV_LOG_ERROR, "[RELAY_PORT]auth failed, code[%d], msg[%s]", res.code, res.msg.c_str());
    if (m_notic) m_notic->OnError(res.code, res.msg.c_str());
    Disconnect("relay_port::CWSControl::Disconnect");
}

void CWSControl::HandlePlayRes(const uint8_t* body, size_t length) {
    wire::PlayResult res;
    if (!wire::ParsePlayResult(body, length, &res)) return DropInvalid(wire::kPlayRes, length);
    QV_LOG(QV_LOG_INFO,
           "[RELAY_PORT]User[%s], unpack_play_res, code:[%d], vCodec:[%d], bitrate:[%d], fps:[%d], w:[%d], h:[%d], "
           "aCodec:[%d], samplerate:[%d], channel:[%d]",
           m_user.c_str(), res.code, static_cast<int>(res.videoCodec), static_cast<int>(res.bitrate),
           static_cast<int>(res.fps), static_cast<int>(res.width), static_cast<int>(res.height),
           static_cast<int>(res.audioCodec), static_cast<int>(res.sampleRate), static_cast<int>(res.channels));
    DealPlayRes(res);
}

void CWSControl::DealPlayRes(const wire::PlayResult& res) {
    if (res.code != 0) {
        QV_LOG(QV_LOG_ERROR, "[RELAY_PORT]play failed, code[%d], msg[%s]", res.code, res.msg.c_str());
        if (m_notic) m_notic->OnError(res.code, res.msg.c_str());
        Disconnect("relay_port::CWSControl::Disconnect");
        return;
    }
    m_lastEchoMs = NowMs();
    // WebRTC mode (nothing switches it on) negotiates an offer instead of probing here.
    if (m_webrtcMode) {
        if (SendOfferReq() != 0) QV_LOG(QV_LOG_ERROR, "[RELAY_PORT]send offer req failed");
        return;
    }
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        if (!m_delayTimer && m_engine && m_state != 3) {
            auto timer = ITimerHandleInterface::Create(m_proxy, kDelayIntervalMs, kDelayIntervalMs, nullptr);
            m_delayTimer = timer;
            if (m_engine->AddTimerReq(timer, false, nullptr, nullptr) != 0) {
                QV_LOG(QV_LOG_FATAL, "[RELAY_PORT][%s]Add Delay timer failed", "relay_port::CWSControl::DealPlayRes");
                m_delayTimer.reset();
            }
        }
    }
    if (!m_notic) return;
    m_notic->OnConnectStatus(WS_STATUS_PLAYING);
    m_notic->OnPlayRes(res.code, res.msg.c_str(), static_cast<int>(res.videoCodec), static_cast<int>(res.bitrate),
                       static_cast<int>(res.fps), static_cast<int>(res.width), static_cast<int>(res.height),
                       static_cast<int>(res.audioCodec), static_cast<int>(res.sampleRate),
                       static_cast<int>(res.channels));
}

void CWSControl::HandleError(const uint8_t* body, size_t length) {
    wire::ErrorMsg err;
    if (!wire::ParseError(body, length, &err)) return DropInvalid(wire::kError, length);
    bool renew = err.code == wire::kErrorNewSession;
    QV_LOG(QV_LOG_INFO, "[RELAY_PORT]User[%s] unpack_error, code[%d] msg[%s]; disconnect!", m_user.c_str(), err.code,
           err.msg.c_str());
    QV_LOG(QV_LOG_ERROR, "[RELAY_PORT]Recv Error [%d][%s] %s", err.code, err.msg.c_str(),
           renew ? "Disconnect And Reconnect ws" : "Disconnect ws");
    if (m_notic) m_notic->OnError(err.code, err.msg.c_str());
    if (renew)
        DisconnectAndReconnect();
    else
        Disconnect("relay_port::CWSControl::Disconnect");
}

void CWSControl::HandleDelayEcho(const uint8_t* body, size_t length) {
    wire::DelayEcho echo;
    if (!wire::ParseDelayEcho(body, length, &echo)) return DropInvalid(wire::kDelay, length);
    int64_t now = NowMs();
    // An echo from the future (clock or peer fault) counts as no delay. The
    // difference is taken unsigned: a time far in the past would overflow.
    const uint64_t delay =
        now > echo.time ? (static_cast<uint64_t>(now) - static_cast<uint64_t>(echo.time)) / 2 : 0;
    uint32_t delayMs = delay > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(delay);
    SendDelayReport(delayMs, now);
    if (m_notic) m_notic->OnDelay(delayMs);
    m_lastEchoMs = now;
}

}  // namespace relay_port
