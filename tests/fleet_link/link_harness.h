#pragma once
// Shared helpers of the node link tests: log capture, a recording
// notification target, an engine on its own loop thread and loop barriers.
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "fleet_link/gc_node_interface.h"
#include "net_engine/net_engine.h"

namespace fleet_link_test {

// Captures every log line (level 0 and up) while it lives.
class LogRecorder {
public:
    LogRecorder();
    ~LogRecorder();
    size_t Count(const std::string& part) const;
    bool Has(const std::string& part) const { return Count(part) > 0; }
    bool WaitFor(const std::string& part, int timeoutMs = 10000) const;
    std::vector<std::string> Lines() const;

private:
    struct State;
    std::shared_ptr<State> m_state;
};

struct NodeEvent {
    std::string kind;  // "status", "error", "start", "add", "reduce", "query", "switch"
    int status = -1;
    int errType = 0;
    int code = 0;
    std::string msg;
    std::vector<fleet_link::InstanceStateInfo> states;
    std::vector<fleet_link::InstanceErrorInfo> errors;
    std::string nodeName;
    void* userData = nullptr;
};

class RecordingNotic : public fleet_link::IPicGCWSNodeNotic {
public:
    void OnNodeStatusNotic(int status, const char* nodeName, void* userData) override;
    void OnNodeErrorNotic(fleet_link::EErrorType type, int code, const char* msg,
                          const fleet_link::InstanceErrorInfo* infos, size_t count, const char* nodeName,
                          void* userData) override;
    void OnStartControlRes(int code, const char* msg, const char* nodeName, void* userData) override;
    void OnAddInstanceRes(int code, const char* msg, const char* nodeName, void* userData) override;
    void OnReduceInstanceRes(int code, const char* msg, const char* nodeName, void* userData) override;
    void OnQueryInstanceStatusRes(int code, const char* msg, fleet_link::InstanceStateInfo* infos, size_t count,
                                  const char* nodeName, void* userData) override;
    void OnSwitchMainRes(int code, const char* msg, const char* nodeName, void* userData) override;

    std::vector<NodeEvent> Events() const;
    std::vector<int> Statuses() const;
    size_t CountOf(const std::string& kind) const;
    bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 10000) const;
    bool WaitForCount(const std::string& kind, size_t count, int timeoutMs = 10000) const;
    // Waits for the n-th (1-based) status notification equal to status.
    bool WaitForStatus(int status, size_t n = 1, int timeoutMs = 10000) const;

private:
    void Add(NodeEvent event);
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    std::vector<NodeEvent> m_events;
};

// A started engine, stopped when the harness goes away.
class EngineHarness {
public:
    EngineHarness();
    ~EngineHarness();
    std::shared_ptr<net_engine::INetEngine> Engine() const { return m_engine; }
    // Returns once a timer added now with delayMs has fired on the loop: all
    // loop work queued before, and every loop timer due earlier, has run.
    bool Barrier(uint64_t delayMs = 0) const;

private:
    std::shared_ptr<net_engine::INetEngine> m_engine;
};

// Polls condition every 5 ms until it holds or timeoutMs passed.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 10000);

}  // namespace fleet_link_test
