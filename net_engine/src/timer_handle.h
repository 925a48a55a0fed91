#pragma once
// A libuv timer on an engine's loop thread.
#include <uv.h>

#include <memory>
#include <mutex>

#include "asyn_oper.h"
#include "net_engine/net_engine.h"

namespace net_engine {

class CHttpFrame;
class CTimerHandle;

// Wraps two plain functions as a timer notification target.
class CFunctionTimerNotic final : public ITimerHandleNotic {
public:
    CFunctionTimerNotic(TimerFunction onTimer, TimerFunction onClose)
        : m_onTimer(std::move(onTimer)), m_onClose(std::move(onClose)) {}
    void OnTimer(std::shared_ptr<ITimerHandleInterface> timer, void* userData) override {
        if (m_onTimer) m_onTimer(timer, userData);
    }
    void OnTimerClose(std::shared_ptr<ITimerHandleInterface> timer, void* userData) override {
        if (m_onClose) m_onClose(timer, userData);
    }

private:
    TimerFunction m_onTimer;
    TimerFunction m_onClose;
};

// Stored in the libuv handle's data from the add to the close callback, so
// that a started timer keeps itself alive.
struct TimerSelfRef {
    std::shared_ptr<CTimerHandle> self;
};

class CTimerHandle final : public ITimerHandleInterface,
                           public IAsynOperInterface,
                           public std::enable_shared_from_this<CTimerHandle> {
public:
    CTimerHandle(std::shared_ptr<ITimerHandleNotic> notic, uint64_t timeoutMs, uint64_t repeatMs, void* userData);

    int Stop(TimerOperationCallback callback, void* userData) override;
    int Again(TimerOperationCallback callback, void* userData) override;

    int Execute(std::shared_ptr<AsynOperReq> req, std::shared_ptr<CHttpFrame> engine) override;
    bool CancelOnStop(std::shared_ptr<AsynOperReq> req) override;

private:
    int StopOrAgain(int code, TimerOperationCallback callback, void* userData);
    int StartOnLoop(std::shared_ptr<CHttpFrame> engine);
    int StopOnLoop();
    static void OnExpiry(uv_timer_t* timer);
    static void OnClosed(uv_handle_t* handle);
    std::shared_ptr<CHttpFrame> Engine() const;

    mutable std::mutex m_engineMutex;
    std::shared_ptr<CHttpFrame> m_engine;
    uv_timer_t m_timer{};
    bool m_initialised = false;  // loop thread only
    uint64_t m_timeout;
    uint64_t m_repeat;
    std::shared_ptr<ITimerHandleNotic> m_notic;
    void* m_userData;
};

}  // namespace net_engine
