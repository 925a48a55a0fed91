#include "stream_counters.h"

#include <cstring>

namespace swplay_u {
namespace {

constexpr int64_t kRateSeconds = 3;
constexpr int64_t kRecentSeconds = 9;  // plus the current one

int Ratio(int64_t sum, int64_t count) { return count > 0 ? static_cast<int>(sum / count) : -1; }

}  // namespace

void StreamCounters::Reset() {
    const int64_t now = common::SteadyMs();
    m_link.Reset(now);
    m_decode.Reset(now);
    m_width = -1;
    m_height = -1;
    m_received = 0;
    m_decoded = 0;
    m_shown = 0;
    m_droppedQueue = 0;
    m_droppedDecode = 0;
    m_delayLast = -1;
    m_queueDepth = 0;
    m_reconnects = 0;
    std::lock_guard<std::mutex> lock(m_errorMutex);
    m_errorCode = 0;
    m_errorText.clear();
}

void StreamCounters::OnReceived(uint32_t bytes) {
    const int64_t now = common::SteadyMs();
    m_received.fetch_add(1, std::memory_order_relaxed);
    m_link.Add(now, kReceived, 1);
    m_link.Add(now, kBytes, bytes);
}

void StreamCounters::OnDelay(uint32_t delayMs) {
    const int64_t now = common::SteadyMs();
    const int delay = delayMs > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(delayMs);
    m_delayLast.store(delay, std::memory_order_relaxed);
    m_link.Add(now, kDelaySum, delay);
    m_link.Add(now, kDelayCount, 1);
    m_link.Max(now, 0, delay);
}

void StreamCounters::OnReconnect() { m_reconnects.fetch_add(1, std::memory_order_relaxed); }

void StreamCounters::OnError(int code, const char* text) {
    if (code == 0) return;
    std::lock_guard<std::mutex> lock(m_errorMutex);
    m_errorCode = code;
    m_errorText = text ? text : "";
}

void StreamCounters::OnQueueDrops(uint64_t frames) {
    if (frames > 0) m_droppedQueue.fetch_add(frames, std::memory_order_relaxed);
}

void StreamCounters::OnQueueDepth(size_t depth) {
    m_queueDepth.store(static_cast<int>(depth), std::memory_order_relaxed);
}

void StreamCounters::OnDecoded(int64_t micros, bool ok, int width, int height) {
    const int64_t now = common::SteadyMs();
    m_decode.Add(now, kDecodeUs, micros);
    m_decode.Add(now, kDecodeCount, 1);
    m_decode.Max(now, kDecodeMaxUs, micros);
    if (!ok) {
        m_droppedDecode.fetch_add(1, std::memory_order_relaxed);
        return;
    }
    m_decoded.fetch_add(1, std::memory_order_relaxed);
    m_decode.Add(now, kDecoded, 1);
    m_width.store(width, std::memory_order_relaxed);
    m_height.store(height, std::memory_order_relaxed);
}

void StreamCounters::OnShown(int64_t micros) {
    const int64_t now = common::SteadyMs();
    m_shown.fetch_add(1, std::memory_order_relaxed);
    m_decode.Add(now, kShown, 1);
    m_decode.Add(now, kShowUs, micros);
    m_decode.Max(now, kShowMaxUs, micros);
}

void StreamCounters::Fill(SWStreamStats& out, int64_t nowMs) const {
    out = SWStreamStats();
    out.codec = 2;
    out.hardwareDecode = 0;
    out.width = m_width.load(std::memory_order_relaxed);
    out.height = m_height.load(std::memory_order_relaxed);
    const int64_t seconds = m_link.CompleteSeconds(nowMs, kRateSeconds);
    if (seconds > 0) {
        out.receivedFps = static_cast<float>(m_link.Sum(nowMs, kReceived, kRateSeconds)) / seconds;
        out.videoKbps = static_cast<int>(m_link.Sum(nowMs, kBytes, kRateSeconds) * 8 / 1000 / seconds);
        out.decodedFps = static_cast<float>(m_decode.Sum(nowMs, kDecoded, kRateSeconds)) / seconds;
        out.shownFps = static_cast<float>(m_decode.Sum(nowMs, kShown, kRateSeconds)) / seconds;
    }
    out.framesReceived = m_received.load(std::memory_order_relaxed);
    out.framesDecoded = m_decoded.load(std::memory_order_relaxed);
    out.framesShown = m_shown.load(std::memory_order_relaxed);
    out.droppedQueue = m_droppedQueue.load(std::memory_order_relaxed);
    out.droppedDecode = m_droppedDecode.load(std::memory_order_relaxed);
    out.delayLastMs = m_delayLast.load(std::memory_order_relaxed);
    const int64_t delays = m_link.Sum(nowMs, kDelayCount, kRecentSeconds, true);
    out.delayAverageMs = Ratio(m_link.Sum(nowMs, kDelaySum, kRecentSeconds, true), delays);
    if (delays > 0) out.delayWorstMs = static_cast<int>(m_link.Maximum(nowMs, 0, kRecentSeconds, true));
    const int64_t decodes = m_decode.Sum(nowMs, kDecodeCount, kRecentSeconds, true);
    out.decodeAverageUs = Ratio(m_decode.Sum(nowMs, kDecodeUs, kRecentSeconds, true), decodes);
    if (decodes > 0) out.decodeWorstUs = static_cast<int>(m_decode.Maximum(nowMs, kDecodeMaxUs, kRecentSeconds, true));
    const int64_t shows = m_decode.Sum(nowMs, kShown, kRecentSeconds, true);
    out.showAverageUs = Ratio(m_decode.Sum(nowMs, kShowUs, kRecentSeconds, true), shows);
    if (shows > 0) out.showWorstUs = static_cast<int>(m_decode.Maximum(nowMs, kShowMaxUs, kRecentSeconds, true));
    out.queueDepth = m_queueDepth.load(std::memory_order_relaxed);
    out.reconnects = m_reconnects.load(std::memory_order_relaxed);
    std::lock_guard<std::mutex> lock(m_errorMutex);
    out.lastErrorCode = m_errorCode;
    std::strncpy(out.lastErrorText, m_errorText.c_str(), sizeof(out.lastErrorText) - 1);
}

}  // namespace swplay_u
