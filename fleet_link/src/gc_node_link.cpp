// Connection life cycle of a node link: connect polling, registration,
// heartbeats, deferred disconnects and reconnects. Runs on the loop thread.
#include "common/qv_log.h"
#include "gc_node.h"
#include "node_message_types.h"
#include "node_requests.h"

namespace fleet_link {

using net_engine::INetEngine;
using net_engine::ITimerHandleInterface;

namespace {
constexpr uint64_t kCheckResultIntervalMs = 10;
constexpr uint64_t kHeartBeatIntervalMs = 1000;
constexpr int64_t kHeartBeatLossMs = 10000;
constexpr int kSwitchingProtocols = 101;
}  // namespace

void CGCNode::OnAddResult(uint32_t generation, int result) {
    if (!IsCurrent(generation)) {
        return;
    }
    if (result != 0) {
        QV_LOG(80, "[FLEET_LINK]AddHttpReq get failed res");
        std::shared_ptr<INetEngine> engine;
        std::shared_ptr<net_engine::IHttpHandleInterface> handle;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            engine = m_engine;
            handle = std::move(m_handle);
        }
        // The handle was initialised; a delete is what releases it.
        if (engine && handle) {
            engine->DelHttpReq(handle, false, nullptr, nullptr);
        }
        return;
    }
    if (!StartTimer(&CGCNode::m_checkResultTimer, generation, &CGCNode::OnCheckResultTimer,
                    kCheckResultIntervalMs)) {
        QV_LOG(80, "[FLEET_LINK]Add Check ResultTimer failed");
    }
    m_checkCount.store(0);
}

void CGCNode::OnCheckResultTimer(uint32_t generation) {
    if (!IsCurrent(generation)) {
        return;
    }
    auto handle = Handle();
    Timer timer = TimerIn(&CGCNode::m_checkResultTimer);
    if (!handle || !timer) {
        return;
    }
    int code = handle->GetResponseCode();
    if (code < 0) {
        QV_LOG(60, "[FLEET_LINK]get websocket rescode:%ld", static_cast<long>(code));
        timer->Stop(nullptr, nullptr);
        return;
    }
    if (code != kSwitchingProtocols) {
        int32_t count = ++m_checkCount;
        if (count > Cfg()->connectTimeoutMs / 10) {
            QV_LOG(60, "[FLEET_LINK]get websocket rescode timeout");
            timer->Stop(nullptr, nullptr);
            Disconnect(generation, true);
        }
        return;
    }
    QV_LOG(20, "[FLEET_LINK]Connetc websocket succ;Begin Register!");
    m_connected.store(true);
    timer->Stop(nullptr, nullptr);
    if (SendRegisterReq() != 0) {
        QV_LOG(60, "[FLEET_LINK]send Register req failed");
        Disconnect(generation, true);
    }
}

int CGCNode::SendRegisterReq() {
    if (m_state.load() != 2 || !m_connected.load()) {
        QV_LOG(60, "[FLEET_LINK]%s failed: websocket is not ready", "fleet_link::CGCNode::SendRegisterReq");
        return -1;
    }
    return SendPackage(MSG_REGISTER_REQ, BuildRegisterReq(Cfg()->sdkVersion));
}

int CGCNode::SendHeartBeatReq() {
    if (m_state.load() != 2 || !m_connected.load()) {
        QV_LOG(60, "[FLEET_LINK]%s failed: websocket is not ready", "fleet_link::CGCNode::SendHeartBeatReq");
        return -1;
    }
    return SendPackage(MSG_HEARTBEAT_REQ, BuildHeartBeatReq(ConnId(), m_clock.NowMs()));
}

void CGCNode::DealRegisterRsp(const RegisterRsp& rsp) {
    const uint32_t generation = m_generation.load();
    if (rsp.code != 0) {
        QV_LOG(60, "[FLEET_LINK]ConnId[%s] Register failed, code[%d], msg[%s]", rsp.connId.c_str(), rsp.code,
               rsp.message.c_str());
        Notify([&](IPicGCWSNodeNotic& notic, const char* name, void* userData) {
            notic.OnNodeErrorNotic(ERROR_TYPE_REGISTER, rsp.code, rsp.message.c_str(), nullptr, 0, name, userData);
        });
        Disconnect(generation, false);
        return;
    }
    QV_LOG(20, "[FLEET_LINK]ConnId[%s] Register succ", rsp.connId.c_str());
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_connId = rsp.connId;
    }
    m_lastHeartBeatMs.store(m_clock.NowMs());
    Notify([](IPicGCWSNodeNotic& notic, const char* name, void* userData) {
        notic.OnNodeStatusNotic(NODE_STATUS_CONNECTED, name, userData);
    });
    if (!StartTimer(&CGCNode::m_heartBeatTimer, generation, &CGCNode::OnHeartBeatTimer, kHeartBeatIntervalMs) &&
        IsCurrent(generation)) {
        QV_LOG(80, "[FLEET_LINK][%s]Add HeartBeat timer failed", "fleet_link::CGCNode::DealRegisterRsp");
    }
    int interval = Cfg()->autoQueryIntervalMs;
    if (interval >= 1 &&
        !StartTimer(&CGCNode::m_autoQueryTimer, generation, &CGCNode::OnAutoQueryTimer,
                    static_cast<uint64_t>(interval)) &&
        IsCurrent(generation)) {
        QV_LOG(80, "[FLEET_LINK][%s]Add AutoQueryInstanceStatusInterval timer failed",
               "fleet_link::CGCNode::DealRegisterRsp");
    }
}

void CGCNode::OnHeartBeatTimer(uint32_t generation) {
    if (!IsCurrent(generation)) {
        return;
    }
    int64_t elapsed = m_clock.NowMs() - m_lastHeartBeatMs.load();
    if (elapsed <= kHeartBeatLossMs) {
        SendHeartBeatReq();
        return;
    }
    QV_LOG(60, "[FLEET_LINK]ConnId[%s] delay for[%lld] greater than [%d]; reconnect ws", ConnId().c_str(),
           static_cast<long long>(elapsed), static_cast<int>(kHeartBeatLossMs));
    Disconnect(generation, true);
}

void CGCNode::DealHeartBeatReq(const HeartBeatReq& req) {
    int64_t now = m_clock.NowMs();
    m_lastHeartBeatMs.store(now);
    int64_t delay = HeartBeatDelay(now, req.ts);
    m_delay.store(delay);
    SendPackage(MSG_HEARTBEAT_RSP, BuildHeartBeatRsp(ConnId(), delay));
}

void CGCNode::OnAutoQueryTimer(uint32_t generation) {
    if (IsCurrent(generation)) {
        QueryInstanceStatus();
    }
}

void CGCNode::Disconnect(uint32_t generation, bool reconnect) {
    auto engine = Engine();
    std::shared_ptr<CGCNode> self = weak_from_this().lock();
    if (!engine || !self) {
        return;
    }
    // The timer's function holds the engine so that the one-shot timer can
    // always close itself, even after UnInit dropped the node's engine.
    auto onTimer = [self, generation, reconnect, engine](std::shared_ptr<ITimerHandleInterface> timer, void*) {
        self->OnDisconnectTimer(generation, reconnect, timer, engine);
    };
    auto timer = ITimerHandleInterface::Create(onTimer, nullptr, 0, 0, nullptr);
    if (engine->AddTimerReq(timer, false, nullptr, nullptr) != 0) {
        QV_LOG(80, "[FLEET_LINK][%s]Add DisconnectTimer timer failed", "fleet_link::CGCNode::Disconnect");
        return;
    }
    QV_LOG(20, "[FLEET_LINK]Start Disconnect websocket Timer");
}

void CGCNode::OnDisconnectTimer(uint32_t generation, bool reconnect, const Timer& self,
                                const std::shared_ptr<INetEngine>& engine) {
    engine->DelTimerReq(self, false, nullptr, nullptr);
    if (!IsCurrent(generation)) {
        return;
    }
    auto handle = Handle();
    if (!handle || !Engine()) {
        return;
    }
    m_connected.store(false);
    RemoveTimer(&CGCNode::m_heartBeatTimer);
    RemoveTimer(&CGCNode::m_autoQueryTimer);
    // The node gave up on this connection: end its transfer so that the
    // re-add of the same handle never races a stale one.
    handle->DisconnectWebSocket();
    Notify([](IPicGCWSNodeNotic& notic, const char* name, void* userData) {
        notic.OnNodeStatusNotic(NODE_STATUS_DISCONNECTED, name, userData);
    });
    if (reconnect && m_autoReconnect.load()) {
        StartReconnect(generation, "fleet_link::CGCNode::OnDisconnectTimer", "[FLEET_LINK][%s]Add timer failed");
    }
}

void CGCNode::OnResult(std::shared_ptr<net_engine::IHttpHandleInterface>, net_engine::HttpResult, void*) {
    const uint32_t generation = m_generation.load();
    m_connected.store(false);
    RemoveTimer(&CGCNode::m_heartBeatTimer);
    RemoveTimer(&CGCNode::m_autoQueryTimer);
    Notify([](IPicGCWSNodeNotic& notic, const char* name, void* userData) {
        notic.OnNodeStatusNotic(NODE_STATUS_DISCONNECTED, name, userData);
    });
    if (m_state.load() == 2 && m_autoReconnect.load() && Engine()) {
        StartReconnect(generation, "fleet_link::CGCNode::OnResult", "[FLEET_LINK][%s]Add ReConnectTimer failed");
    }
}

void CGCNode::StartReconnect(uint32_t generation, const char* function, const char* failFormat) {
    uint64_t interval = static_cast<uint64_t>(Cfg()->reconnectIntervalMs);
    if (!StartTimer(&CGCNode::m_reconnectTimer, generation, &CGCNode::OnReConnectTimer, interval)) {
        if (IsCurrent(generation)) {
            QV_LOG(80, failFormat, function);
        }
        return;
    }
    QV_LOG(20, "[FLEET_LINK]Start reconnect websocket timer");
}

void CGCNode::OnReConnectTimer(uint32_t generation) {
    if (!IsCurrent(generation)) {
        return;
    }
    auto engine = Engine();
    auto handle = Handle();
    if (!engine || !handle) {
        return;
    }
    if (engine->AddHttpReq(handle, false, nullptr, nullptr) != 0) {
        QV_LOG(60, "[FLEET_LINK]AddHttpReq failed");
        return;
    }
    if (Timer timer = TimerIn(&CGCNode::m_reconnectTimer)) {
        timer->Stop(nullptr, nullptr);
    }
    if (!StartTimer(&CGCNode::m_checkResultTimer, generation, &CGCNode::OnCheckResultTimer,
                    kCheckResultIntervalMs)) {
        QV_LOG(80, "[FLEET_LINK]Add Check ResultTimer failed");
    } else {
        m_checkCount.store(0);
    }
    Notify([](IPicGCWSNodeNotic& notic, const char* name, void* userData) {
        notic.OnNodeStatusNotic(NODE_STATUS_CONNECTING, name, userData);
    });
    QV_LOG(20, "[FLEET_LINK]Begin check websocket status timer");
}

}  // namespace fleet_link
