#include "stamp_log.h"

#include <unistd.h>

#include <chrono>

namespace handset_bench {

Nanos NowNanos() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void StampLog::Begin() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_stamps.clear();
    m_payloads.clear();
    m_recording = true;
}

void StampLog::End() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_recording = false;
}

void StampLog::Mark(const uint8_t* data, size_t size) {
    const Nanos now = NowNanos();
    m_total.fetch_add(1);
    m_lastTid.store(gettid());
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_recording) return;
    m_stamps.push_back(now);
    if (m_keepPayloads && data != nullptr) m_payloads.emplace_back(data, data + size);
}

void StampLog::KeepPayloads(bool keep) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_keepPayloads = keep;
}

std::vector<Nanos> StampLog::Stamps() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_stamps;
}

std::vector<std::vector<uint8_t>> StampLog::Payloads() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_payloads;
}

}  // namespace handset_bench
