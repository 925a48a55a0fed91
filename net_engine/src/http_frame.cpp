#include "http_frame.h"

#include <pthread.h>

#include <chrono>

#include "common/qv_log.h"
#include "http_handle.h"
#include "timer_handle.h"

namespace net_engine {

namespace {

constexpr int kStartWaitMs = 5000;

void CloseIfOpen(uv_handle_t* handle) {
    if (!uv_is_closing(handle)) uv_close(handle, nullptr);
}

}  // namespace

std::shared_ptr<INetEngine> INetEngine::Create() { return std::make_shared<CHttpFrame>(); }

CHttpFrame::CHttpFrame() = default;

CHttpFrame::~CHttpFrame() {
    {
        std::lock_guard<std::mutex> lock(m_queueMutex);
        m_AsynOperReqList.clear();
    }
    // The loop thread holds a reference to the engine while it runs, so a
    // joinable thread here means the last reference went away on that very
    // thread: let it finish on its own instead of terminating the process.
    if (m_thread.joinable()) m_thread.detach();
    // Initialised but never started: free what Init made.
    if (m_initState.load() == 2 && !m_loopActive.load()) TearDown();
}

int CHttpFrame::Init(std::shared_ptr<IHttpNotic> notic, void* userData) {
    int32_t expected = 0;
    if (!m_initState.compare_exchange_strong(expected, 1)) return -1;

    auto fail = [this]() {
        if (m_multi) {
            curl_multi_cleanup(m_multi);
            m_multi = nullptr;
        }
        if (m_loop && m_handlesOpen) {
            CloseOwnHandles();
            uv_run(m_loop.get(), UV_RUN_NOWAIT);
        }
        m_handlesOpen = false;
        if (m_loop) {
            uv_loop_close(m_loop.get());
            m_loop.reset();
        }
        m_initState.store(0);
        return -1;
    };

    if (!m_loop) {
        auto loop = std::shared_ptr<uv_loop_t>(new uv_loop_t(), [](uv_loop_t* l) { delete l; });
        int rc = uv_loop_init(loop.get());
        if (rc != 0) {
            QV_LOG(60, "[NET_ENGINE]err[%d:%s]uv_loop_init failed", rc, uv_strerror(rc));
            return fail();
        }
        m_loop = loop;
    }
    int rc = uv_timer_init(m_loop.get(), &m_curlTimer);
    if (rc != 0) {
        QV_LOG(60, "[NET_ENGINE]err[%d:%s]uv_timer_init failed", rc, uv_strerror(rc));
        return fail();
    }
    m_curlTimer.data = this;
    rc = uv_async_init(m_loop.get(), &m_stopAsync, &CHttpFrame::OnStop);
    if (rc != 0) {
        QV_LOG(60, "[NET_ENGINE]err[%d:%s]Stop async init failed", rc, uv_strerror(rc));
        uv_close(reinterpret_cast<uv_handle_t*>(&m_curlTimer), nullptr);
        uv_run(m_loop.get(), UV_RUN_NOWAIT);
        return fail();
    }
    m_stopAsync.data = this;
    rc = uv_async_init(m_loop.get(), &m_reqAsync, &CHttpFrame::OnReq);
    if (rc != 0) {
        QV_LOG(60, "[NET_ENGINE]err[%d:%s]Req async init failed", rc, uv_strerror(rc));
        uv_close(reinterpret_cast<uv_handle_t*>(&m_curlTimer), nullptr);
        uv_close(reinterpret_cast<uv_handle_t*>(&m_stopAsync), nullptr);
        uv_run(m_loop.get(), UV_RUN_NOWAIT);
        return fail();
    }
    m_reqAsync.data = this;
    uv_timer_init(m_loop.get(), &m_sendRetryTimer);
    m_sendRetryTimer.data = this;
    uv_check_init(m_loop.get(), &m_dueCheck);
    m_dueCheck.data = this;
    // Without it the loop only sleeps sooner: worth a line, not a failed start.
    rc = m_spin.Init(m_loop.get());
    if (rc != 0) QV_LOG(60, "[NET_ENGINE]err[%d:%s]uv_idle_init failed", rc, uv_strerror(rc));
    m_handlesOpen = true;

    m_multi = curl_multi_init();
    if (!m_multi) {
        QV_LOG(60, "[NET_ENGINE]err[%d:%s]curl_multi_init failed", -1, "no multi handle");
        return fail();
    }
    CURLMcode mc = curl_multi_setopt(m_multi, CURLMOPT_SOCKETFUNCTION, &CHttpFrame::HandleSocket);
    if (mc != CURLM_OK) {
        QV_LOG(60, "[NET_ENGINE]err[%d:%s]curl_multi_setopt CURLMOPT_SOCKETFUNCTION failed", mc, curl_multi_strerror(mc));
        return fail();
    }
    mc = curl_multi_setopt(m_multi, CURLMOPT_SOCKETDATA, this);
    if (mc != CURLM_OK) {
        QV_LOG(60, "[NET_ENGINE]err[%d:%s]curl_multi_setopt CURLMOPT_SOCKETDATA failed", mc, curl_multi_strerror(mc));
        return fail();
    }
    mc = curl_multi_setopt(m_multi, CURLMOPT_TIMERFUNCTION, &CHttpFrame::StartTimeout);
    if (mc != CURLM_OK) {
        QV_LOG(60, "[NET_ENGINE]err[%d:%s]curl_multi_setopt CURLMOPT_TIMERFUNCTION failed", mc, curl_multi_strerror(mc));
        return fail();
    }
    mc = curl_multi_setopt(m_multi, CURLMOPT_TIMERDATA, this);
    if (mc != CURLM_OK) {
        QV_LOG(60, "[NET_ENGINE]err[%d:%s]curl_multi_setopt CURLMOPT_TIMERDATA failed", mc, curl_multi_strerror(mc));
        return fail();
    }
    m_notic = std::move(notic);
    m_userData = userData;
    m_initState.store(2);
    return 0;
}

int CHttpFrame::Start() {
    if (m_initState.load() != 2) return -1;
    QV_LOG(0, "[NET_ENGINE]Frame Start");
    {
        std::lock_guard<std::mutex> lock(m_threadMutex);
        if (m_thread.joinable()) return 0;
        // A loop stopped from its own thread may still be tearing down.
        if (m_loopActive.load()) return -1;
        m_loopActive.store(true);
        m_thread = std::thread(&CHttpFrame::FrameThread, this, shared_from_this());
    }
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartWaitMs);
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(m_queueMutex);
            if (m_running.load() == 1) return 0;
        }
        if (!m_loopActive.load() || std::chrono::steady_clock::now() >= deadline) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    QV_LOG(60, "[NET_ENGINE]Frame Start: loop not running after [%d] ms", kStartWaitMs);
    std::thread thread;
    {
        std::lock_guard<std::mutex> lock(m_threadMutex);
        thread = std::move(m_thread);
    }
    if (thread.joinable()) {
        if (!m_loopActive.load()) thread.join();
        else thread.detach();  // it keeps the engine alive until it ends
    }
    return -1;
}

void CHttpFrame::FrameThread(std::shared_ptr<CHttpFrame> self) {
    QV_LOG(0, "[NET_ENGINE]FrameThread Start");
    pthread_setname_np(pthread_self(), "net_engine");  // tells the loop apart in profiles and debuggers
    m_loopTid.store(base::GetTid());
    uv_prepare_t prepare;
    uv_prepare_init(m_loop.get(), &prepare);
    prepare.data = this;
    uv_prepare_start(&prepare, [](uv_prepare_t* p) {
        auto* engine = static_cast<CHttpFrame*>(p->data);
        {
            std::lock_guard<std::mutex> lock(engine->m_queueMutex);
            engine->m_running.store(1);
        }
        uv_prepare_stop(p);
        uv_close(reinterpret_cast<uv_handle_t*>(p), nullptr);
    });
    int rc = uv_run(m_loop.get(), UV_RUN_DEFAULT);
    if (rc != 0) {
        QV_LOG(60, "[NET_ENGINE]err[%d:%s]uv_run failed", rc, uv_strerror(rc));
        m_loopActive.store(false);
        return;
    }
    size_t left = 0;
    {
        std::lock_guard<std::mutex> lock(m_queueMutex);
        left = m_AsynOperReqList.size();
    }
    QV_LOG(0, "[NET_ENGINE]FrameThread Stop");
    QV_LOG(0, "[NET_ENGINE]m_AsynOperReqList size[%zu]", left);
    if (m_notic) {
        m_notic->OnFrameStop(self, m_userData);
        m_notic.reset();
        m_userData = nullptr;
    }
    TearDown();
    m_loopTid.store(0);
    m_loopActive.store(false);
}

void CHttpFrame::CloseOwnHandles() {
    CloseIfOpen(reinterpret_cast<uv_handle_t*>(&m_curlTimer));
    CloseIfOpen(reinterpret_cast<uv_handle_t*>(&m_stopAsync));
    CloseIfOpen(reinterpret_cast<uv_handle_t*>(&m_reqAsync));
    CloseIfOpen(reinterpret_cast<uv_handle_t*>(&m_sendRetryTimer));
    CloseIfOpen(reinterpret_cast<uv_handle_t*>(&m_dueCheck));
    m_spin.Close();
}

void CHttpFrame::TearDown() {
    int32_t expected = 2;
    if (!m_initState.compare_exchange_strong(expected, 3)) return;
    if (m_multi) {
        curl_multi_cleanup(m_multi);
        m_multi = nullptr;
    }
    // Sockets libcurl closed took their polls with them; close any left.
    while (!m_polls.empty()) ClosePoll(m_polls.begin()->first);
    if (m_loop) {
        if (m_handlesOpen) CloseOwnHandles();
        m_handlesOpen = false;
        // Let pending close callbacks run, then close the loop.
        int rc = UV_EBUSY;
        for (int i = 0; i < 100 && rc == UV_EBUSY; ++i) {
            uv_run(m_loop.get(), UV_RUN_NOWAIT);
            rc = uv_loop_close(m_loop.get());
        }
        if (rc != 0) {
            QV_LOG(60, "[NET_ENGINE]err[%d:%s]uv_loop_close failed", rc, uv_strerror(rc));
            // Handles still reference the loop's memory: keep it.
            new std::shared_ptr<uv_loop_t>(m_loop);
        }
        m_loop.reset();
    }
    m_webSockets.clear();
    m_stalledSenders.clear();
    m_polls.clear();
    m_curlWorkDue = false;
    m_unreportedCalls = 0;
    m_initState.store(0);
}

int CHttpFrame::Stop(bool async) {
    if (m_initState.load() != 2 || m_running.load() != 1) return -1;
    bool onLoop = IsLoopThread();
    if (!onLoop || async) {
        std::lock_guard<std::mutex> lock(m_queueMutex);
        if (m_running.load() == 1) {
            int rc = uv_async_send(&m_stopAsync);
            if (rc != 0) {
                QV_LOG(60, "[NET_ENGINE]err[%d:%s]uv_async_send failed while stop HttpFrame", rc, uv_strerror(rc));
                return -1;
            }
        }
    } else {
        OnStop(&m_stopAsync);
    }
    std::thread thread;
    {
        std::lock_guard<std::mutex> lock(m_threadMutex);
        thread = std::move(m_thread);
    }
    if (!thread.joinable()) return 0;
    if (onLoop) thread.detach();
    else thread.join();
    return 0;
}

void CHttpFrame::OnStop(uv_async_t* async) {
    QV_LOG(0, "[NET_ENGINE]%s", "net_engine::CHttpFrame::OnStop");
    if (!async || !async->data) {
        QV_LOG(60, "[NET_ENGINE]OnStop Get NULL rAsync or data");
        return;
    }
    auto* engine = static_cast<CHttpFrame*>(async->data);
    // Transfers that ended before the stop are still reported, as they would
    // have been had their group been complete.
    if (engine->m_unreportedCalls > 0 && engine->m_curlDepth == 0) engine->CheckMultiInfo();
    {
        std::lock_guard<std::mutex> lock(engine->m_queueMutex);
        engine->m_running.store(0);
        for (auto it = engine->m_AsynOperReqList.begin(); it != engine->m_AsynOperReqList.end();) {
            if ((*it)->target && (*it)->target->CancelOnStop(*it)) it = engine->m_AsynOperReqList.erase(it);
            else ++it;
        }
    }
    engine->RunQueued();
    engine->EndWebSocketsOnStop();
    engine->StopAllPolls();
    engine->CloseOwnHandles();
}

void CHttpFrame::OnReq(uv_async_t* async) {
    if (!async || !async->data) return;
    auto* engine = static_cast<CHttpFrame*>(async->data);
    // More work from other threads tends to follow: poll on without sleeping for a moment.
    engine->NoteActivity();
    engine->RunQueued();
}

void CHttpFrame::RunQueued() {
    std::list<std::shared_ptr<AsynOperReq>> work;
    {
        std::lock_guard<std::mutex> lock(m_queueMutex);
        work.swap(m_AsynOperReqList);
    }
    auto self = weak_from_this().lock();
    for (auto& req : work) {
        if (req->target) req->target->Execute(req, self);
    }
    // An added transfer starts in this loop turn rather than on the next.
    RunCurlWorkAfterTurn();
}

bool CHttpFrame::IsLoopThread() const { return base::GetTid() == m_loopTid.load(); }

bool CHttpFrame::Post(std::shared_ptr<AsynOperReq> req) {
    std::lock_guard<std::mutex> lock(m_queueMutex);
    if (m_running.load() != 1) {
        QV_LOG(60, "[NET_ENGINE]Can not post operation[%d] now", req->type);
        return false;
    }
    m_AsynOperReqList.push_back(std::move(req));
    Wake();
    return true;
}

int CHttpFrame::Queue(std::shared_ptr<AsynOperReq> req, bool async) {
    if (IsLoopThread() && !async) return req->target->Execute(req, shared_from_this());
    std::lock_guard<std::mutex> lock(m_queueMutex);
    if (m_running.load() != 1) return -1;
    m_AsynOperReqList.push_back(std::move(req));
    Wake();
    return 0;
}

// Called with the queue mutex held. A record queued on the loop thread from
// inside a socket or time-out callback runs when that callback ends; any
// other needs the loop woken.
void CHttpFrame::Wake() {
    if (IsLoopThread() && m_drainDepth > 0) {
        m_drainDue = true;
        return;
    }
    uv_async_send(&m_reqAsync);
}

void CHttpFrame::DrainQueued() {
    for (int round = 0; m_drainDue && round < 8; ++round) {
        m_drainDue = false;
        RunQueued();
    }
    if (m_drainDue) {
        m_drainDue = false;
        uv_async_send(&m_reqAsync);
    }
}

int CHttpFrame::AddHttpReq(std::shared_ptr<IHttpHandleInterface> handle, bool async, HttpOperationCallback callback,
                           void* userData) {
    auto target = std::dynamic_pointer_cast<CHttpHandle>(handle);
    if (!target) return -1;
    if (m_running.load() != 1) {
        QV_LOG(60, "[NET_ENGINE]Can not add http req now");
        return -1;
    }
    QV_LOG(0, "[NET_ENGINE]add http handle[%p] [%d]", static_cast<void*>(handle.get()), async ? 1 : 0);
    target->SetEngine(shared_from_this());
    auto req = std::make_shared<AsynHttpReq>();
    req->type = OPER_ADD_HTTP;
    req->target = target;
    req->userData = userData;
    req->callback = std::move(callback);
    return Queue(req, async);
}

int CHttpFrame::DelHttpReq(std::shared_ptr<IHttpHandleInterface> handle, bool async, HttpOperationCallback callback,
                           void* userData) {
    auto target = std::dynamic_pointer_cast<CHttpHandle>(handle);
    if (!target) return -1;
    target->NoteDetachRequest();
    auto req = std::make_shared<AsynHttpReq>();
    req->type = OPER_DEL_HTTP;
    req->target = target;
    req->userData = userData;
    req->callback = std::move(callback);
    return Queue(req, async);
}

int CHttpFrame::AddTimerReq(std::shared_ptr<ITimerHandleInterface> timer, bool async, TimerOperationCallback callback,
                            void* userData) {
    auto target = std::dynamic_pointer_cast<CTimerHandle>(timer);
    if (!target) return -1;
    if (m_running.load() != 1) {
        QV_LOG(60, "[NET_ENGINE]Can not add timer req now");
        return -1;
    }
    auto req = std::make_shared<AsynTimerReq>();
    req->type = OPER_ADD_TIMER;
    req->target = target;
    req->userData = userData;
    req->callback = std::move(callback);
    return Queue(req, async);
}

int CHttpFrame::DelTimerReq(std::shared_ptr<ITimerHandleInterface> timer, bool async, TimerOperationCallback callback,
                            void* userData) {
    auto target = std::dynamic_pointer_cast<CTimerHandle>(timer);
    if (!target) return -1;
    auto req = std::make_shared<AsynTimerReq>();
    req->type = OPER_DEL_TIMER;
    req->target = target;
    req->userData = userData;
    req->callback = std::move(callback);
    return Queue(req, async);
}

}  // namespace net_engine
