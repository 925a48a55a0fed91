#include "pic_gc_ws_control.h"

#include <utility>

#include "common/qv_log.h"
#include "gc_node.h"

namespace fleet_link {

using net_engine::INetEngine;

std::shared_ptr<IFleetLink> IFleetLink::CreateFleetLink() {
    return std::make_shared<CPicGCWSControl>();
}

std::shared_ptr<INetEngine> CPicGCWSControl::Engine() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_engine;
}

int CPicGCWSControl::Init() {
    int32_t expected = 0;
    if (!m_state.compare_exchange_strong(expected, 1)) {
        return -1;
    }
    auto engine = INetEngine::Create();
    int result = engine ? engine->Init(nullptr, nullptr) : -1;
    if (result != 0) {
        QV_LOG(60, "[FLEET_LINK]net_engine init failed");
    } else {
        result = engine->Start();
        if (result != 0) {
            QV_LOG(60, "[FLEET_LINK]Start net_engine failed");
            engine->Stop(false);
        }
    }
    if (result == 0) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_engine = std::move(engine);
        }
        m_state.store(2);
    } else {
        m_state.store(0);
    }
    return result;
}

int CPicGCWSControl::UnInit() {
    int32_t expected = 2;
    if (!m_state.compare_exchange_strong(expected, 3)) {
        return -1;
    }
    std::shared_ptr<INetEngine> engine;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        engine = std::move(m_engine);
    }
    int result = engine->Stop(true);
    engine.reset();
    m_state.store(0);
    return result;
}

std::shared_ptr<IPicGCWSNodeInterface> CPicGCWSControl::AddGCNode(std::shared_ptr<IPicGCWSNodeNotic> notic,
                                                                  const char* url, const char* sdkVersion,
                                                                  const char* nodeName, bool autoReconnect,
                                                                  int autoQueryIntervalMs, int reconnectIntervalMs,
                                                                  int connectTimeoutMs, void* userData) {
    static const char* const kFunction = "fleet_link::CPicGCWSControl::AddGCNode";
    auto engine = Engine();
    if (m_state.load() != 2 || !engine) {
        QV_LOG(60, "[FLEET_LINK]%s failed: pic gc websocket is not ready", kFunction);
        return nullptr;
    }
    auto node = std::make_shared<CGCNode>();
    if (node->Init(engine, std::move(notic), url, sdkVersion, nodeName, autoReconnect, autoQueryIntervalMs,
                   reconnectIntervalMs, connectTimeoutMs, userData) != 0) {
        QV_LOG(60, "[FLEET_LINK]%s failed: Node Init failed", kFunction);
        return nullptr;
    }
    return node;
}

void CPicGCWSControl::RemoveGCNode(std::shared_ptr<IPicGCWSNodeInterface> node) {
    if (m_state.load() != 2) {
        QV_LOG(60, "[FLEET_LINK]%s failed: pic gc websocket is not ready", "fleet_link::CPicGCWSControl::RemoveGCNode");
        return;
    }
    if (auto* gcNode = dynamic_cast<CGCNode*>(node.get())) {
        gcNode->UnInit();
    }
}

}  // namespace fleet_link
