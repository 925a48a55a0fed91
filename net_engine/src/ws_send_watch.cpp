// WebSocket frames that libcurl could take only in part: the engine continues
// them as soon as their socket is writable again. A socket that libcurl does
// not have us watch, or that takes nothing although writable (TLS waiting
// for the peer), is retried every millisecond instead.
#include <cstddef>

#include "http_frame.h"
#include "http_handle.h"

namespace net_engine {

void CHttpFrame::ArmPoll(PollContext* context) {
    uv_handle_t* handle = reinterpret_cast<uv_handle_t*>(&context->poll);
    if (uv_is_closing(handle)) return;
    int events = context->curlEvents | (context->sendWaiting ? UV_WRITABLE : 0);
    // Every restart costs the loop a system call: only changes are passed on.
    if (events == context->armedEvents) return;
    context->armedEvents = events;
    if (events) uv_poll_start(&context->poll, events, &CHttpFrame::CurlPerform);
    else uv_poll_stop(&context->poll);
}

// libcurl no longer needs the socket: its waiting senders fall back to the timer.
void CHttpFrame::ForgetSocket(PollContext* context) {
    if (context->sendWaiting) {
        for (auto& sender : m_pendingSenders) {
            auto handle = sender.handle.lock();
            if (handle && PollOf(*handle) == context) sender.byTimer = true;
        }
        context->sendWaiting = false;
        StartSendRetry();
    }
    m_polls.erase(context->socket);
    for (auto it = m_easySockets.begin(); it != m_easySockets.end();) {
        if (it->second == context->socket) it = m_easySockets.erase(it);
        else ++it;
    }
}

PollContext* CHttpFrame::PollOf(CHttpHandle& handle) const {
    auto socket = m_easySockets.find(handle.Easy());
    if (socket == m_easySockets.end()) return nullptr;
    auto poll = m_polls.find(socket->second);
    return poll == m_polls.end() ? nullptr : poll->second;
}

void CHttpFrame::WatchPendingSend(std::shared_ptr<CHttpHandle> handle) {
    for (auto& sender : m_pendingSenders) {
        if (sender.handle.lock() == handle) return;
    }
    PollContext* context = PollOf(*handle);
    m_pendingSenders.push_back(PendingSender{handle, context == nullptr});
    if (!context) {
        StartSendRetry();
        return;
    }
    if (!context->sendWaiting) {
        context->sendWaiting = true;
        ArmPoll(context);
    }
}

void CHttpFrame::OnSocketWritable(PollContext* context) {
    bool waiting = false;
    for (size_t i = 0; i < m_pendingSenders.size();) {
        PendingSender& sender = m_pendingSenders[i];
        auto handle = sender.handle.lock();
        if (handle && (sender.byTimer || PollOf(*handle) != context)) {
            ++i;
            continue;
        }
        SendProgress progress = handle ? handle->FlushWebSocketSends() : SendProgress::kDone;
        if (progress == SendProgress::kDone || progress == SendProgress::kFailed) {
            m_pendingSenders.erase(m_pendingSenders.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        if (progress == SendProgress::kStalled) {
            sender.byTimer = true;
            StartSendRetry();
        } else {
            waiting = true;
        }
        ++i;
    }
    if (!waiting) {
        context->sendWaiting = false;
        ArmPoll(context);
    }
}

void CHttpFrame::StartSendRetry() {
    uv_handle_t* timer = reinterpret_cast<uv_handle_t*>(&m_sendRetryTimer);
    if (!uv_is_active(timer) && !uv_is_closing(timer)) uv_timer_start(&m_sendRetryTimer, &CHttpFrame::OnSendRetry, 1, 1);
}

void CHttpFrame::OnSendRetry(uv_timer_t* timer) {
    auto* engine = static_cast<CHttpFrame*>(timer->data);
    auto& senders = engine->m_pendingSenders;
    bool retrying = false;
    for (size_t i = 0; i < senders.size();) {
        PendingSender& sender = senders[i];
        auto handle = sender.handle.lock();
        if (handle && !sender.byTimer) {
            ++i;
            continue;
        }
        SendProgress progress = handle ? handle->FlushWebSocketSends() : SendProgress::kDone;
        if (progress == SendProgress::kDone || progress == SendProgress::kFailed) {
            senders.erase(senders.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        PollContext* context = progress == SendProgress::kMore ? engine->PollOf(*handle) : nullptr;
        if (context) {
            // Moving again: back to waiting for writability.
            sender.byTimer = false;
            if (!context->sendWaiting) {
                context->sendWaiting = true;
                engine->ArmPoll(context);
            }
        } else {
            retrying = true;
        }
        ++i;
    }
    if (!retrying) uv_timer_stop(timer);
}

}  // namespace net_engine
