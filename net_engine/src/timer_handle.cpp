#include "timer_handle.h"

#include "common/qv_log.h"
#include "http_frame.h"

namespace net_engine {

std::shared_ptr<ITimerHandleInterface> ITimerHandleInterface::Create(std::shared_ptr<ITimerHandleNotic> notic,
                                                                     uint64_t timeoutMs, uint64_t repeatMs,
                                                                     void* userData) {
    return std::make_shared<CTimerHandle>(std::move(notic), timeoutMs, repeatMs, userData);
}

std::shared_ptr<ITimerHandleInterface> ITimerHandleInterface::Create(TimerFunction onTimer, TimerFunction onClose,
                                                                     uint64_t timeoutMs, uint64_t repeatMs,
                                                                     void* userData) {
    auto notic = std::make_shared<CFunctionTimerNotic>(std::move(onTimer), std::move(onClose));
    return Create(notic, timeoutMs, repeatMs, userData);
}

CTimerHandle::CTimerHandle(std::shared_ptr<ITimerHandleNotic> notic, uint64_t timeoutMs, uint64_t repeatMs,
                           void* userData)
    : m_timeout(timeoutMs), m_repeat(repeatMs), m_notic(std::move(notic)), m_userData(userData) {}

std::shared_ptr<CHttpFrame> CTimerHandle::Engine() const {
    std::lock_guard<std::mutex> lock(m_engineMutex);
    return m_engine;
}

int CTimerHandle::Stop(TimerOperationCallback callback, void* userData) {
    return StopOrAgain(OPER_STOP_TIMER, std::move(callback), userData);
}

int CTimerHandle::Again(TimerOperationCallback callback, void* userData) {
    return StopOrAgain(OPER_AGAIN_TIMER, std::move(callback), userData);
}

int CTimerHandle::StopOrAgain(int code, TimerOperationCallback callback, void* userData) {
    auto engine = Engine();
    if (!engine) return -1;
    if (!engine->IsRunning()) {
        QV_LOG(60, code == OPER_AGAIN_TIMER ? "[NET_ENGINE]Can not again timer req now"
                                            : "[NET_ENGINE]Can not stop timer req now");
        return -1;
    }
    if (!engine->IsLoopThread()) {
        auto req = std::make_shared<AsynTimerReq>();
        req->type = code;
        req->target = shared_from_this();
        req->userData = userData;
        req->callback = std::move(callback);
        engine->Post(req);
        return 0;
    }
    if (!m_initialised) return -1;
    int rc = code == OPER_AGAIN_TIMER ? uv_timer_again(&m_timer) : uv_timer_stop(&m_timer);
    if (rc != 0) {
        QV_LOG(60, code == OPER_AGAIN_TIMER ? "[NET_ENGINE]again timer failed" : "[NET_ENGINE]stop timer failed");
        return -1;
    }
    if (callback) callback(shared_from_this(), userData, 0);
    return 0;
}

int CTimerHandle::StartOnLoop(std::shared_ptr<CHttpFrame> engine) {
    if (m_initialised || !engine || !engine->Loop() || uv_timer_init(engine->Loop(), &m_timer) != 0) {
        QV_LOG(60, "[NET_ENGINE]Init timer failed");
        return -1;
    }
    m_initialised = true;
    m_timer.data = new TimerSelfRef{shared_from_this()};
    {
        std::lock_guard<std::mutex> lock(m_engineMutex);
        m_engine = engine;
    }
    int rc = uv_timer_start(&m_timer, &CTimerHandle::OnExpiry, m_timeout, m_repeat);
    if (rc != 0) {
        QV_LOG(60, "[NET_ENGINE]err[%d:%s]uv_timer_start[%d:%d] failed", rc, uv_strerror(rc),
               static_cast<int>(m_timeout), static_cast<int>(m_repeat));
        QV_LOG(60, "[NET_ENGINE]Start timer failed");
        uv_close(reinterpret_cast<uv_handle_t*>(&m_timer), &CTimerHandle::OnClosed);
        return -1;
    }
    return 0;
}

int CTimerHandle::StopOnLoop() {
    int rc = uv_timer_stop(&m_timer);
    if (rc != 0) {
        QV_LOG(60, "[NET_ENGINE]err[%d:%s]uv_timer_stop[%d:%d] failed", rc, uv_strerror(rc),
               static_cast<int>(m_timeout), static_cast<int>(m_repeat));
        QV_LOG(60, "[NET_ENGINE]stop timer failed");
        return -1;
    }
    return 0;
}

int CTimerHandle::Execute(std::shared_ptr<AsynOperReq> req, std::shared_ptr<CHttpFrame> engine) {
    auto* timerReq = static_cast<AsynTimerReq*>(req.get());
    auto self = shared_from_this();
    auto answer = [&](int result) {
        if (timerReq->callback) timerReq->callback(self, timerReq->userData, result);
    };
    if (req->type != OPER_ADD_TIMER && !m_initialised) {
        // Never added, or already closed.
        answer(-1);
        return -1;
    }
    switch (req->type) {
    case OPER_ADD_TIMER: {
        int result = StartOnLoop(engine);
        answer(result);
        return result;
    }
    case OPER_DEL_TIMER: {
        int result = StopOnLoop();
        if (result == 0 && !uv_is_closing(reinterpret_cast<uv_handle_t*>(&m_timer)))
            uv_close(reinterpret_cast<uv_handle_t*>(&m_timer), &CTimerHandle::OnClosed);
        answer(result);
        return 0;
    }
    case OPER_STOP_TIMER:
        answer(StopOnLoop());
        return 0;
    case OPER_AGAIN_TIMER: {
        int rc = uv_timer_again(&m_timer);
        if (rc != 0) {
            QV_LOG(60, "[NET_ENGINE]err[%d:%s]uv_timer_again[%d:%d] failed", rc, uv_strerror(rc),
                   static_cast<int>(m_timeout), static_cast<int>(m_repeat));
            QV_LOG(60, "[NET_ENGINE]again timer failed");
        }
        answer(rc == 0 ? 0 : -1);
        return 0;
    }
    default:
        return -1;
    }
}

bool CTimerHandle::CancelOnStop(std::shared_ptr<AsynOperReq> req) {
    if (req->type != OPER_ADD_TIMER) return false;
    auto* timerReq = static_cast<AsynTimerReq*>(req.get());
    if (timerReq->callback) timerReq->callback(shared_from_this(), timerReq->userData, -1);
    return true;
}

void CTimerHandle::OnExpiry(uv_timer_t* timer) {
    auto* ref = static_cast<TimerSelfRef*>(timer->data);
    if (!ref || !ref->self) return;
    std::shared_ptr<CTimerHandle> self = ref->self;
    auto notic = self->m_notic;
    if (notic) notic->OnTimer(self, self->m_userData);
}

void CTimerHandle::OnClosed(uv_handle_t* handle) {
    std::unique_ptr<TimerSelfRef> ref(static_cast<TimerSelfRef*>(handle->data));
    handle->data = nullptr;
    if (!ref || !ref->self) return;
    std::shared_ptr<CTimerHandle> self = std::move(ref->self);
    self->m_initialised = false;
    auto notic = std::move(self->m_notic);
    if (notic) notic->OnTimerClose(self, self->m_userData);
}

}  // namespace net_engine
