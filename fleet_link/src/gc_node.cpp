#include "gc_node.h"

#include <utility>

#include "common/qv_log.h"

namespace fleet_link {

using net_engine::IHttpHandleInterface;
using net_engine::INetEngine;
using net_engine::ITimerHandleInterface;

CGCNode::CGCNode() : m_config(std::make_shared<Config>()) {}

std::shared_ptr<const CGCNode::Config> CGCNode::Cfg() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_config;
}

std::shared_ptr<INetEngine> CGCNode::Engine() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_engine;
}

std::shared_ptr<IHttpHandleInterface> CGCNode::Handle() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_handle;
}

std::string CGCNode::ConnId() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_connId;
}

CGCNode::Timer CGCNode::TimerIn(TimerSlot slot) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return this->*slot;
}

int CGCNode::Init(std::shared_ptr<INetEngine> engine, std::shared_ptr<IPicGCWSNodeNotic> notic, const char* url,
                  const char* sdkVersion, const char* nodeName, bool autoReconnect, int autoQueryIntervalMs,
                  int reconnectIntervalMs, int connectTimeoutMs, void* userData) {
    if (!engine || !url) {
        return -1;
    }
    int32_t expected = 0;
    if (!m_state.compare_exchange_strong(expected, 1)) {
        return -1;
    }
    std::shared_ptr<CGCNode> self = weak_from_this().lock();
    if (!self) {
        m_state.store(0);
        return -1;
    }

    auto config = std::make_shared<Config>();
    config->nodeName = nodeName ? nodeName : "";
    config->sdkVersion = sdkVersion ? sdkVersion : "";
    config->userData = userData;
    config->connectTimeoutMs = connectTimeoutMs;
    config->reconnectIntervalMs = reconnectIntervalMs;
    config->autoQueryIntervalMs = autoQueryIntervalMs;
    const uint32_t generation = ++m_generation;
    m_autoReconnect.store(autoReconnect);
    m_connected.store(false);
    m_checkCount.store(0);
    m_lastHeartBeatMs.store(0);
    m_delay.store(0);

    int result = -1;
    auto handle = IHttpHandleInterface::Create();
    if (handle->Init(url, nodeName, 2, self, connectTimeoutMs, 0, nullptr) != 0) {
        QV_LOG(60, "[FLEET_LINK]http handle init failed");
    } else {
        handle->SetSSL(nullptr);
        // Everything the loop thread reads is in place before the add: its
        // callback may run before AddHttpReq returns.
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_engine = engine;
            m_handle = handle;
            m_notic = std::move(notic);
            m_config = config;
            m_connId.clear();
            m_lastTouchMoveMs = 0;
        }
        auto onAdded = [self, generation](std::shared_ptr<IHttpHandleInterface>, void*, int res) {
            self->OnAddResult(generation, res);
        };
        result = engine->AddHttpReq(handle, false, onAdded, nullptr);
        if (result != 0) {
            QV_LOG(60, "[FLEET_LINK]AddHttpReq failed");
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_engine.reset();
                m_handle.reset();
                m_notic.reset();
            }
            // An initialised handle is released only by a delete.
            engine->DelHttpReq(handle, false, nullptr, nullptr);
        } else {
            QV_LOG(20, "[FLEET_LINK]Begin WSConnect succ; Start check result timer!");
        }
    }

    if (result == 0) {
        m_state.store(2);
        QV_LOG(20, "[FLEET_LINK]Init Group control node [%s] succ", config->nodeName.c_str());
    } else {
        ++m_generation;
        m_state.store(0);
    }
    return result;
}

void CGCNode::UnInit() {
    int32_t expected = 2;
    if (!m_state.compare_exchange_strong(expected, 3)) {
        return;
    }
    m_autoReconnect.store(false);
    std::shared_ptr<INetEngine> engine;
    std::shared_ptr<IHttpHandleInterface> handle;
    Timer timers[4];
    std::shared_ptr<IPicGCWSNodeNotic> notic;
    std::string name;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_generation;
        engine = std::move(m_engine);
        handle = std::move(m_handle);
        timers[0] = std::move(m_reconnectTimer);
        timers[1] = std::move(m_checkResultTimer);
        timers[2] = std::move(m_heartBeatTimer);
        timers[3] = std::move(m_autoQueryTimer);
        notic = std::move(m_notic);
        m_connId.clear();
        name = m_config->nodeName;
    }
    if (handle && engine) {
        engine->DelHttpReq(handle, true, nullptr, nullptr);
    }
    for (Timer& timer : timers) {
        if (timer && engine) {
            engine->DelTimerReq(timer, false, nullptr, nullptr);
        }
    }
    m_connected.store(false);
    m_state.store(0);
    QV_LOG(20, "[FLEET_LINK]UnInit Group control node [%s] succ", name.c_str());
}

CGCNode::Timer CGCNode::MakeTimer(uint32_t generation, TimerExpiry expiry, uint64_t timeoutMs, uint64_t repeatMs) {
    std::shared_ptr<CGCNode> self = weak_from_this().lock();
    if (!self) {
        return nullptr;
    }
    auto onTimer = [self, generation, expiry](std::shared_ptr<ITimerHandleInterface>, void*) {
        ((*self).*expiry)(generation);
    };
    return ITimerHandleInterface::Create(onTimer, nullptr, timeoutMs, repeatMs, nullptr);
}

bool CGCNode::StartTimer(TimerSlot slot, uint32_t generation, TimerExpiry expiry, uint64_t intervalMs) {
    std::shared_ptr<INetEngine> engine;
    Timer timer;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        engine = m_engine;
        timer = this->*slot;
    }
    if (!engine || !IsCurrent(generation)) {
        return false;
    }
    if (timer) {
        timer->Again(nullptr, nullptr);
        return true;
    }
    timer = MakeTimer(generation, expiry, intervalMs, intervalMs);
    if (!timer || engine->AddTimerReq(timer, false, nullptr, nullptr) != 0) {
        return false;
    }
    bool kept = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (IsCurrent(generation)) {
            this->*slot = timer;
            kept = true;
        }
    }
    if (!kept) {
        // UnInit ran meanwhile and will not see this timer: close it here.
        engine->DelTimerReq(timer, false, nullptr, nullptr);
    }
    return true;
}

void CGCNode::RemoveTimer(TimerSlot slot) {
    std::shared_ptr<INetEngine> engine;
    Timer timer;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        engine = m_engine;
        timer = std::move(this->*slot);
    }
    if (timer && engine) {
        engine->DelTimerReq(timer, false, nullptr, nullptr);
    }
}

}  // namespace fleet_link
