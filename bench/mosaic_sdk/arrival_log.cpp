#include "arrival_log.h"

namespace mosaic_bench {

void ArrivalLog::Expect(bool viaNode, size_t count) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_viaNode = viaNode;
    m_expected = count;
    m_count = 0;
}

void ArrivalLog::Mark(const std::string& kind, bool viaNode) {
    if (kind != "touch") return;
    const Clock::time_point now = Clock::now();
    std::lock_guard<std::mutex> lock(m_mutex);
    if (viaNode != m_viaNode || m_count >= m_expected) return;
    m_last = now;
    if (++m_count == m_expected) m_arrived.notify_all();
}

bool ArrivalLog::Wait(int timeoutMs, Clock::time_point& last) {
    std::unique_lock<std::mutex> lock(m_mutex);
    const bool done = m_arrived.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                         [this] { return m_expected > 0 && m_count >= m_expected; });
    last = m_last;
    return done;
}

}  // namespace mosaic_bench
