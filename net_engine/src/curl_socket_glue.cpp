// libcurl multi handle in socket-action mode on the engine's libuv loop:
// libcurl says which sockets to watch and when to time out; libuv says when
// a socket is ready, and the engine hands that back to libcurl.
#include <unistd.h>

#include <cstdlib>

#include "common/qv_log.h"
#include "http_frame.h"
#include "http_handle.h"

namespace net_engine {

namespace {

void FreePollContext(uv_handle_t* handle) { std::free(handle); }

// Zero time-outs run at once this many times in a row; more wait for the
// next loop turn, so sockets and queued work are never starved.
constexpr int kMaxDueRounds = 16;

}  // namespace

int CHttpFrame::HandleSocket(CURL* easy, curl_socket_t s, int what, void* userp, void* socketp) {
    auto* engine = static_cast<CHttpFrame*>(userp);
    if (!engine) {
        QV_LOG(60, "[NET_ENGINE]HandleSocket get null userdata");
        return 0;
    }
    auto* context = static_cast<PollContext*>(socketp);
    switch (what) {
    case CURL_POLL_IN:
    case CURL_POLL_OUT:
    case CURL_POLL_INOUT: {
        if (!context) {
            // A connection back from libcurl's pool keeps the poll it had.
            auto kept = engine->m_polls.find(s);
            if (kept != engine->m_polls.end()) context = kept->second;
        }
        if (!context) {
            if (!engine->m_loop) return 0;
            context = static_cast<PollContext*>(std::calloc(1, sizeof(PollContext)));
            if (!context) return -1;
            context->socket = s;
            context->engine = engine;
            int rc = uv_poll_init_socket(engine->m_loop.get(), &context->poll, s);
            if (rc != 0) {
                QV_LOG(60, "[NET_ENGINE]err[%d:%s]uv_poll_init_socket failed", rc, uv_strerror(rc));
                std::free(context);
                return -1;
            }
            context->poll.data = context;
        }
        CURLMcode mc = curl_multi_assign(engine->m_multi, s, context);
        if (mc != CURLM_OK) {
            QV_LOG(60, "[NET_ENGINE]err[%d:%s]curl_multi_assign failed while OnHandleSocket", mc,
                   curl_multi_strerror(mc));
            return -1;
        }
        engine->m_polls[s] = context;
        context->curlEvents = 0;
        if (what != CURL_POLL_OUT) context->curlEvents |= UV_READABLE;
        if (what != CURL_POLL_IN) context->curlEvents |= UV_WRITABLE;
        engine->ArmPoll(context);
        return 0;
    }
    case CURL_POLL_REMOVE:
        // libcurl is done with the socket for now; a keep-alive connection
        // stays open in its pool. The poll stays too, still watching for
        // reading: the next request on the connection then costs the loop
        // no system call to watch it again. It is closed with the socket.
        if (context) {
            curl_multi_assign(engine->m_multi, s, nullptr);
            context->curlEvents = 0;
            if (context->armedEvents & UV_WRITABLE) engine->StopPoll(context);
        }
        return 0;
    default:
        QV_LOG(60, "[NET_ENGINE]HandleSocket Get default Action[%d]", what);
        return 0;
    }
}

void CHttpFrame::StopPoll(PollContext* context) {
    uv_poll_stop(&context->poll);
    context->armedEvents = 0;
}

// Nothing is watched once the engine stops, so that its loop can end: the
// polls of pooled keep-alive connections would otherwise keep it running.
// They are closed with their sockets when the multi handle is cleaned up.
void CHttpFrame::StopAllPolls() {
    for (auto& entry : m_polls) {
        PollContext* context = entry.second;
        context->curlEvents = 0;
        if (!uv_is_closing(reinterpret_cast<uv_handle_t*>(&context->poll))) StopPoll(context);
    }
}

void CHttpFrame::ClosePoll(curl_socket_t socket) {
    auto it = m_polls.find(socket);
    if (it == m_polls.end()) return;
    PollContext* context = it->second;
    m_polls.erase(it);
    uv_handle_t* handle = reinterpret_cast<uv_handle_t*>(&context->poll);
    if (!uv_is_closing(handle)) uv_close(handle, &FreePollContext);
}

int CHttpFrame::CloseSocket(void* clientp, curl_socket_t socket) {
    // The poll goes first: libuv must stop watching a descriptor before it is closed.
    if (auto* engine = static_cast<CHttpFrame*>(clientp)) engine->ClosePoll(socket);
    return ::close(socket);
}

void CHttpFrame::ArmPoll(PollContext* context) {
    uv_handle_t* handle = reinterpret_cast<uv_handle_t*>(&context->poll);
    if (uv_is_closing(handle)) return;
    // Every restart costs the loop a system call: only changes are passed on.
    if (context->curlEvents == context->armedEvents) return;
    context->armedEvents = context->curlEvents;
    if (context->curlEvents) uv_poll_start(&context->poll, context->curlEvents, &CHttpFrame::CurlPerform);
    else uv_poll_stop(&context->poll);
}

void CHttpFrame::CurlPerform(uv_poll_t* poll, int status, int events) {
    auto* context = static_cast<PollContext*>(poll->data);
    CHttpFrame* engine = context->engine;
    const curl_socket_t socket = context->socket;
    if (context->curlEvents == 0) {
        // An idle pooled connection woke (the peer closed it, most likely):
        // libcurl finds out when it next uses or prunes it.
        engine->StopPoll(context);
        return;
    }
    engine->NoteActivity();
    int flags = 0;
    if (events & UV_READABLE) flags |= CURL_CSELECT_IN;
    if (events & UV_WRITABLE) flags |= CURL_CSELECT_OUT;
    if (status < 0) flags |= CURL_CSELECT_ERR;
    ++engine->m_drainDepth;
    const int running = engine->SocketAction(socket, flags, "CurlPerform");
    // Ended transfers are reported in groups: once as many sockets were served
    // since the last report as transfers still run (half of those in flight
    // when each socket ends one), else at the end of the loop turn. The
    // requests their callbacks add then leave together: a server woken by the
    // first finds the others waiting, while it still has the other half to
    // serve. With one transfer in flight each result is reported at once.
    if (++engine->m_unreportedCalls >= running) engine->CheckMultiInfo();
    // What was asked to run at once meanwhile (most often the next request,
    // added by a finished one's callback) waits for the end of the loop turn:
    // libcurl starts due transfers during the calls for the turn's other
    // ready sockets anyway, which saves a time-out call per socket.
    engine->RunCurlWorkAfterTurn();
    --engine->m_drainDepth;
    engine->DrainQueued();
}

int CHttpFrame::SocketAction(curl_socket_t socket, int flags, const char* where) {
    int running = 0;
    ++m_curlDepth;
    CURLMcode mc = curl_multi_socket_action(m_multi, socket, flags, &running);
    --m_curlDepth;
    if (mc != CURLM_OK) {
        QV_LOG(60, "[NET_ENGINE]err[%d:%s]curl_multi_socket_action failed while %s", mc, curl_multi_strerror(mc),
               where);
    }
    return running;
}

int CHttpFrame::StartTimeout(CURLM* multi, long timeoutMs, void* userp) {
    auto* engine = static_cast<CHttpFrame*>(userp);
    if (!engine) {
        QV_LOG(60, "[NET_ENGINE]StartTimeout get null userdata");
        return 0;
    }
    uv_handle_t* timer = reinterpret_cast<uv_handle_t*>(&engine->m_curlTimer);
    if (uv_is_closing(timer)) return 0;
    engine->m_curlWorkDue = timeoutMs == 0;
    if (timeoutMs < 0) {
        uv_timer_stop(&engine->m_curlTimer);
    } else {
        // A zero time-out asked for in a socket callback or queued work runs
        // at the end of that loop turn (RunCurlWorkAfterTurn); the timer
        // covers calls made elsewhere.
        uv_timer_start(&engine->m_curlTimer, &CHttpFrame::OnTimeout, static_cast<uint64_t>(timeoutMs), 0);
    }
    return 0;
}

void CHttpFrame::OnTimeout(uv_timer_t* timer) {
    auto* engine = static_cast<CHttpFrame*>(timer->data);
    engine->m_curlWorkDue = true;  // whatever libcurl timed is due now
    engine->RunCurlWorkNow();
}

void CHttpFrame::RunCurlWorkAfterTurn() {
    if (!m_curlWorkDue && m_unreportedCalls == 0) return;
    uv_handle_t* check = reinterpret_cast<uv_handle_t*>(&m_dueCheck);
    if (uv_is_active(check)) return;
    if (IsRunning() && m_handlesOpen && !uv_is_closing(check) &&
        uv_check_start(&m_dueCheck, &CHttpFrame::OnDueCheck) == 0)
        return;
    RunCurlWork();  // the engine is stopping: no later turn to wait for
}

void CHttpFrame::OnDueCheck(uv_check_t* check) {
    uv_check_stop(check);
    static_cast<CHttpFrame*>(check->data)->RunCurlWorkNow();
}

void CHttpFrame::RunCurlWorkNow() {
    ++m_drainDepth;
    RunCurlWork();
    --m_drainDepth;
    DrainQueued();
}

void CHttpFrame::RunCurlWork() {
    if (m_curlDepth > 0 || !m_multi) return;
    if (m_unreportedCalls > 0) CheckMultiInfo();
    for (int round = 0; m_curlWorkDue && round < kMaxDueRounds; ++round) {
        m_curlWorkDue = false;
        uv_timer_stop(&m_curlTimer);
        SocketAction(CURL_SOCKET_TIMEOUT, 0, "OnTimeout");
        CheckMultiInfo();
    }
    // Still due after many rounds: the zero timer runs it on the next turn.
    if (m_curlWorkDue && !uv_is_closing(reinterpret_cast<uv_handle_t*>(&m_curlTimer)))
        uv_timer_start(&m_curlTimer, &CHttpFrame::OnTimeout, 0, 0);
}

void CHttpFrame::CheckMultiInfo() {
    m_unreportedCalls = 0;
    int pending = 0;
    while (CURLMsg* msg = curl_multi_info_read(m_multi, &pending)) {
        if (msg->msg != CURLMSG_DONE) {
            QV_LOG(60, "[NET_ENGINE]CheckMultiInfo get default message[%d]", static_cast<int>(msg->msg));
            continue;
        }
        CURL* easy = msg->easy_handle;
        CURLcode result = msg->data.result;
        HandlePrivate* priv = nullptr;
        CURLcode rc = curl_easy_getinfo(easy, CURLINFO_PRIVATE, reinterpret_cast<char**>(&priv));
        std::shared_ptr<CHttpHandle> handle = rc == CURLE_OK && priv ? priv->self : nullptr;
        // An upgraded WebSocket stays in the multi handle: its connection
        // lives as long as the transfer does, and the engine carries it on.
        if (handle && result == CURLE_OK && handle->OnWebSocketUpgraded()) continue;
        CURLMcode mc = curl_multi_remove_handle(m_multi, easy);
        if (mc != CURLM_OK) {
            QV_LOG(60, "[NET_ENGINE]err[%d:%s]curl_multi_remove_handle failed while CheckMultiInfo", mc,
                   curl_multi_strerror(mc));
        }
        // The URL is looked up only when the detail line is written.
        if (base::IBaseLogInterface::GetLogInstance()->GetLevel() <= QV_LOG_DETAIL) {
            char* url = nullptr;
            rc = curl_easy_getinfo(easy, CURLINFO_EFFECTIVE_URL, &url);
            if (rc == CURLE_OK) {
                QV_LOG(0, "[NET_ENGINE]%s DONE result[%d:%s]", url ? url : "", result, curl_easy_strerror(result));
            } else {
                QV_LOG(60, "[NET_ENGINE]err[%d:%s]curl_easy_getinfo CURLINFO_EFFECTIVE_URL failed while FinishHttpReq",
                       rc, curl_easy_strerror(rc));
            }
        }
        if (!handle) {
            QV_LOG(60, "[NET_ENGINE]err[%d:%s]curl_easy_getinfo CURLINFO_PRIVATE failed while FinishHttpReq", rc,
                   curl_easy_strerror(rc));
            continue;
        }
        handle->OnTransferDone(result);
    }
}

}  // namespace net_engine
