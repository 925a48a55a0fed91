// The engine's view of upgraded WebSocket connections: it ends them when it
// stops, and retries every millisecond the frames of a connection whose
// socket is writable but takes nothing (TLS waiting for the peer).
#include <algorithm>

#include "http_frame.h"
#include "http_handle.h"

namespace net_engine {

namespace {

// Adds `handle` once, dropping entries whose handle is gone.
void AddOnce(std::vector<std::weak_ptr<CHttpHandle>>& list, const std::shared_ptr<CHttpHandle>& handle) {
    list.erase(std::remove_if(list.begin(), list.end(), [](const auto& weak) { return weak.expired(); }), list.end());
    for (const auto& weak : list) {
        if (weak.lock() == handle) return;
    }
    list.push_back(handle);
}

}  // namespace

void CHttpFrame::TrackWebSocket(std::shared_ptr<CHttpHandle> handle) { AddOnce(m_webSockets, handle); }

void CHttpFrame::RetrySendSoon(std::shared_ptr<CHttpHandle> handle) {
    AddOnce(m_stalledSenders, handle);
    uv_handle_t* timer = reinterpret_cast<uv_handle_t*>(&m_sendRetryTimer);
    if (!uv_is_active(timer) && !uv_is_closing(timer)) uv_timer_start(&m_sendRetryTimer, &CHttpFrame::OnSendRetry, 1, 1);
}

void CHttpFrame::OnSendRetry(uv_timer_t* timer) {
    auto* engine = static_cast<CHttpFrame*>(timer->data);
    auto senders = std::move(engine->m_stalledSenders);
    engine->m_stalledSenders.clear();
    for (auto& weak : senders) {
        auto handle = weak.lock();
        if (!handle) continue;
        // Still stalled: stays on the timer. Moving again: back to waiting for writability.
        if (handle->ContinueStalledSends() == SendProgress::kStalled) engine->m_stalledSenders.push_back(weak);
    }
    if (engine->m_stalledSenders.empty()) uv_timer_stop(timer);
}

// Frames that never got out are reported by the handles before the loop
// ends, and every connection's socket watch is closed so that the loop can end.
void CHttpFrame::EndWebSocketsOnStop() {
    auto sockets = std::move(m_webSockets);
    m_webSockets.clear();
    m_stalledSenders.clear();
    for (auto& weak : sockets) {
        if (auto handle = weak.lock()) handle->EndOnEngineStop();
    }
}

}  // namespace net_engine
