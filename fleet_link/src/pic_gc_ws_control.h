#pragma once
// CPicGCWSControl: the node link manager. It owns one network engine and
// creates node links on it; the caller owns the nodes it gets back.
#include <atomic>
#include <memory>
#include <mutex>

#include "fleet_link/fleet_link.h"
#include "net_engine/net_engine.h"

namespace fleet_link {

class CPicGCWSControl final : public IFleetLink {
public:
    int Init() override;
    int UnInit() override;
    std::shared_ptr<IPicGCWSNodeInterface> AddGCNode(std::shared_ptr<IPicGCWSNodeNotic> notic, const char* url,
                                                     const char* sdkVersion, const char* nodeName,
                                                     bool autoReconnect, int autoQueryIntervalMs,
                                                     int reconnectIntervalMs, int connectTimeoutMs,
                                                     void* userData) override;
    void RemoveGCNode(std::shared_ptr<IPicGCWSNodeInterface> node) override;

private:
    std::shared_ptr<net_engine::INetEngine> Engine() const;

    mutable std::mutex m_mutex;  // guards m_engine
    std::shared_ptr<net_engine::INetEngine> m_engine;
    std::atomic<int32_t> m_state{0};
};

}  // namespace fleet_link
