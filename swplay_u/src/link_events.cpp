#include "link_events.h"

#include "stream_session.h"

namespace swplay_u {

void LinkEvents::Detach() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_session = nullptr;
}

void LinkEvents::OnConnectStatus(int status) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_session) m_session->OnStatus(status);
}

void LinkEvents::OnVideoData(uint64_t, uint64_t second, const uint8_t* data, uint32_t length) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_session) m_session->OnVideo(second, data, length);
}

void LinkEvents::OnOutScreen(int rotation, int, int, int, int) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_session) m_session->OnScreen(rotation);
}

void LinkEvents::OnCursor(bool shown) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_session) m_session->OnCursor(shown);
}

void LinkEvents::OnDelay(uint32_t delayMs) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_session) m_session->OnDelay(delayMs);
}

void LinkEvents::OnError(int code, const char* msg) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_session) m_session->OnError(code, msg);
}

}  // namespace swplay_u
