#pragma once
// CGCNode: the client side of one group-control node. It owns the WebSocket
// handle to the node, registers, keeps the link alive with heartbeats,
// measures the delay, optionally polls instance status, reconnects after
// losses and turns the caller's operations into node packages.
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include <json/value.h>

#include "fleet_link/gc_node_interface.h"
#include "net_engine/net_engine.h"
#include "node_answers.h"
#include "node_clock.h"

namespace fleet_link {

class CGCNode final : public net_engine::IHttpHandleNotic,
                      public IPicGCWSNodeInterface,
                      public std::enable_shared_from_this<CGCNode> {
public:
    CGCNode();
    ~CGCNode() override = default;

    // Opens the WebSocket to url on engine in the background. 0 on success.
    int Init(std::shared_ptr<net_engine::INetEngine> engine, std::shared_ptr<IPicGCWSNodeNotic> notic,
             const char* url, const char* sdkVersion, const char* nodeName, bool autoReconnect,
             int autoQueryIntervalMs, int reconnectIntervalMs, int connectTimeoutMs, void* userData);
    // Closes the handle and every timer; the node can be initialised again.
    void UnInit();

    int StartControl(const char* mainInstanceNo, const StreamConf* streamConf, const ControlInstance* instances,
                     uint32_t count) override;
    int StopControl() override;
    int AddInstance(const char* const* instanceNos, uint32_t count) override;
    int ReduceInstance(const char* const* instanceNos, uint32_t count) override;
    int QueryInstanceStatus() override;
    int SwitchMain(const char* newMainInstanceNo) override;
    int InputString(const char* str) override;
    int InputClipboard(const char* str) override;
    int InputKeyboard(bool isDown, int8_t key) override;
    int InputMouseClick(int mouseType, bool isDown) override;
    int InputMouseMiddleClick(int wheel, bool isDown) override;
    int InputMouseMove(int x, int y) override;
    int InputTouch(int touchType, const int* xs, const int* ys, int count) override;
    int InputPosition(float longitude, float latitude) override;
    int InputSensor(int sensorType, float x, float y, float z) override;
    int InputMsg(const char* service, const char* msg) override;
    int InputInstanceInput(const InstanceInput* const* infos, uint32_t count) override;
    int InputInstanceClipboard(const InstanceInput* const* infos, uint32_t count) override;

    void OnWebSocketData(const char* data, size_t length, int frameKind, void* userData) override;
    void OnResult(std::shared_ptr<net_engine::IHttpHandleInterface> handle, net_engine::HttpResult result,
                  void* userData) override;

    // Inspection points for tests.
    NodeClock& Clock() { return m_clock; }
    int32_t CheckCount() const { return m_checkCount.load(); }
    int64_t Delay() const { return m_delay.load(); }
    std::shared_ptr<net_engine::IHttpHandleInterface> Handle() const;

private:
    using Timer = std::shared_ptr<net_engine::ITimerHandleInterface>;
    using TimerSlot = Timer CGCNode::*;
    using TimerExpiry = void (CGCNode::*)(uint32_t generation);

    // What Init was given; fixed for one initialisation.
    struct Config {
        std::string nodeName;
        std::string sdkVersion;
        void* userData = nullptr;
        int connectTimeoutMs = 10000;
        int reconnectIntervalMs = 2000;
        int autoQueryIntervalMs = 0;
    };

    // Each Init and UnInit starts a new generation; callbacks of an earlier
    // one find their generation stale and do nothing.
    bool IsCurrent(uint32_t generation) const { return m_generation.load() == generation; }
    std::shared_ptr<const Config> Cfg() const;
    std::shared_ptr<net_engine::INetEngine> Engine() const;
    std::string ConnId() const;
    Timer TimerIn(TimerSlot slot) const;

    // Timers whose expiry runs (this->*expiry)(generation); each keeps the
    // node alive until the engine closes it.
    Timer MakeTimer(uint32_t generation, TimerExpiry expiry, uint64_t timeoutMs, uint64_t repeatMs);
    // Restarts the timer in slot, or creates and adds it; false when a new
    // timer could not be added.
    bool StartTimer(TimerSlot slot, uint32_t generation, TimerExpiry expiry, uint64_t intervalMs);
    void RemoveTimer(TimerSlot slot);
    template <class F>
    void Notify(F&& call);

    // Connection life cycle (loop thread).
    void OnAddResult(uint32_t generation, int result);
    void OnCheckResultTimer(uint32_t generation);
    void OnHeartBeatTimer(uint32_t generation);
    void OnAutoQueryTimer(uint32_t generation);
    void OnReConnectTimer(uint32_t generation);
    void Disconnect(uint32_t generation, bool reconnect);
    void OnDisconnectTimer(uint32_t generation, bool reconnect, const Timer& self,
                           const std::shared_ptr<net_engine::INetEngine>& engine);
    void StartReconnect(uint32_t generation, const char* function, const char* failFormat);
    int SendRegisterReq();
    int SendHeartBeatReq();

    // Answers (loop thread).
    void Dispatch(uint32_t type, const char* body, size_t length);
    void DealRegisterRsp(const RegisterRsp& rsp);
    void DealHeartBeatReq(const HeartBeatReq& req);

    // Operations.
    bool IsReady(const char* function) const;
    int SendPackage(uint32_t type, const Json::Value& body);
    int SendInput(const char* function, int opType, const Json::Value& opData);
    int SendInstanceList(const char* function, const char* name, uint32_t type, const char* const* instanceNos,
                         uint32_t count);
    int SendInstanceText(const char* function, int opType, const InstanceInput* const* infos, uint32_t count);

    mutable std::mutex m_mutex;  // guards the members up to m_lastTouchMoveMs
    std::shared_ptr<net_engine::INetEngine> m_engine;
    std::shared_ptr<net_engine::IHttpHandleInterface> m_handle;
    Timer m_checkResultTimer;
    Timer m_reconnectTimer;
    Timer m_heartBeatTimer;
    Timer m_autoQueryTimer;
    std::shared_ptr<IPicGCWSNodeNotic> m_notic;
    std::shared_ptr<const Config> m_config;
    std::string m_connId;
    int64_t m_lastTouchMoveMs = 0;

    std::atomic<int32_t> m_checkCount{0};
    std::atomic<bool> m_connected{false};
    std::atomic<int32_t> m_state{0};
    std::atomic<uint32_t> m_generation{0};
    std::atomic<bool> m_autoReconnect{true};
    std::atomic<int64_t> m_lastHeartBeatMs{0};
    std::atomic<int64_t> m_delay{0};
    NodeClock m_clock;
};

template <class F>
void CGCNode::Notify(F&& call) {
    std::shared_ptr<IPicGCWSNodeNotic> notic;
    std::shared_ptr<const Config> config;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        notic = m_notic;
        config = m_config;
    }
    if (notic) {
        call(*notic, config->nodeName.c_str(), config->userData);
    }
}

}  // namespace fleet_link
