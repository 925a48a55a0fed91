#include "phone_stats.h"

#include "common/qv_log.h"

namespace handset_sdk {
namespace {

constexpr int64_t kRateSeconds = 3;    // complete seconds behind a rate
constexpr int64_t kRecentSeconds = 9;  // plus the current one: the last ten seconds

int32_t Ratio(int64_t sum, int64_t count) { return count > 0 ? static_cast<int32_t>(sum / count) : -1; }

}  // namespace

void CPhoneStats::Reset(int requestedMode, int decodeMode) {
    const int64_t now = common::SteadyMs();
    m_link.Reset(now);
    m_decode.Reset(now);
    m_codec = -1;
    m_width = -1;
    m_height = -1;
    m_requestedMode = requestedMode;
    m_decodeMode = decodeMode;
    m_received = 0;
    m_decoded = 0;
    m_presented = 0;
    m_droppedQueue = 0;
    m_droppedDecode = 0;
    m_delayLast = -1;
    m_audioMs = -1;
    m_reconnects = 0;
    std::lock_guard<std::mutex> lock(m_errorMutex);
    m_errorCode = 0;
    m_errorText.clear();
}

void CPhoneStats::OnStream(int codec, int width, int height) {
    m_codec.store(codec, std::memory_order_relaxed);
    OnSize(width, height);
}

void CPhoneStats::OnSize(int width, int height) {
    m_width.store(width, std::memory_order_relaxed);
    m_height.store(height, std::memory_order_relaxed);
}

void CPhoneStats::OnFrameReceived(uint32_t bytes) {
    const int64_t now = common::SteadyMs();
    m_received.fetch_add(1, std::memory_order_relaxed);
    m_link.Add(now, kReceived, 1);
    m_link.Add(now, kBytes, bytes);
}

void CPhoneStats::OnQueueDrops(uint64_t frames) {
    if (frames > 0) m_droppedQueue.fetch_add(frames, std::memory_order_relaxed);
}

void CPhoneStats::OnDelay(uint32_t delayMs) {
    const int64_t now = common::SteadyMs();
    const int delay = delayMs > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(delayMs);
    m_delayLast.store(delay, std::memory_order_relaxed);
    m_link.Add(now, kDelaySum, delay);
    m_link.Add(now, kDelayCount, 1);
    m_link.Max(now, kDelayMax, delay);
}

void CPhoneStats::OnReconnect() { m_reconnects.fetch_add(1, std::memory_order_relaxed); }

void CPhoneStats::OnError(int code, const char* text) {
    if (code == 0) return;
    std::lock_guard<std::mutex> lock(m_errorMutex);
    m_errorCode = code;
    m_errorText = text ? text : "";
}

void CPhoneStats::OnDecoded(int64_t micros, bool ok) {
    const int64_t now = common::SteadyMs();
    m_decode.Add(now, kDecodeUs, micros);
    m_decode.Add(now, kDecodeCount, 1);
    m_decode.Max(now, kDecodeMaxUs, micros);
    if (ok) {
        m_decoded.fetch_add(1, std::memory_order_relaxed);
        m_decode.Add(now, kDecoded, 1);
    } else {
        m_droppedDecode.fetch_add(1, std::memory_order_relaxed);
    }
}

void CPhoneStats::OnPresented(int64_t micros) {
    const int64_t now = common::SteadyMs();
    m_presented.fetch_add(1, std::memory_order_relaxed);
    m_decode.Add(now, kPresented, 1);
    m_decode.Add(now, kPresentUs, micros);
    m_decode.Max(now, kPresentMaxUs, micros);
}

void CPhoneStats::OnAudioQueued(int ms) { m_audioMs.store(ms, std::memory_order_relaxed); }

void CPhoneStats::Fill(QvPhoneStats& out, int64_t nowMs, int queueDepth) const {
    out = QvPhoneStats();
    out.videoCodec = m_codec.load(std::memory_order_relaxed);
    out.width = m_width.load(std::memory_order_relaxed);
    out.height = m_height.load(std::memory_order_relaxed);

    const int mode = m_decodeMode.load(std::memory_order_relaxed);
    out.hardwareDecode = mode == 1 ? 1 : 0;
    const int requested = m_requestedMode.load(std::memory_order_relaxed);
    if (mode != 1 && (requested == 0 || requested == 1)) {
        common::CopyText(out.decoderNote, "no hardware decoder on this machine");
    }

    const int64_t seconds = m_link.CompleteSeconds(nowMs, kRateSeconds);
    if (seconds > 0) {
        out.receivedFps = static_cast<float>(m_link.Sum(nowMs, kReceived, kRateSeconds)) / seconds;
        out.videoKbps = static_cast<int32_t>(m_link.Sum(nowMs, kBytes, kRateSeconds) * 8 / 1000 / seconds);
        out.decodedFps = static_cast<float>(m_decode.Sum(nowMs, kDecoded, kRateSeconds)) / seconds;
        out.presentedFps = static_cast<float>(m_decode.Sum(nowMs, kPresented, kRateSeconds)) / seconds;
    }
    out.framesReceived = m_received.load(std::memory_order_relaxed);
    out.framesDecoded = m_decoded.load(std::memory_order_relaxed);
    out.framesPresented = m_presented.load(std::memory_order_relaxed);
    out.droppedQueue = m_droppedQueue.load(std::memory_order_relaxed);
    out.droppedDecode = m_droppedDecode.load(std::memory_order_relaxed);

    out.delayLastMs = m_delayLast.load(std::memory_order_relaxed);
    const int64_t delays = m_link.Sum(nowMs, kDelayCount, kRecentSeconds, true);
    out.delayAverageMs = Ratio(m_link.Sum(nowMs, kDelaySum, kRecentSeconds, true), delays);
    if (delays > 0) out.delayWorstMs = static_cast<int32_t>(m_link.Maximum(nowMs, kDelayMax, kRecentSeconds, true));

    const int64_t decodes = m_decode.Sum(nowMs, kDecodeCount, kRecentSeconds, true);
    out.decodeAverageUs = Ratio(m_decode.Sum(nowMs, kDecodeUs, kRecentSeconds, true), decodes);
    if (decodes > 0) {
        out.decodeWorstUs = static_cast<int32_t>(m_decode.Maximum(nowMs, kDecodeMaxUs, kRecentSeconds, true));
    }
    const int64_t presents = m_decode.Sum(nowMs, kPresented, kRecentSeconds, true);
    out.presentAverageUs = Ratio(m_decode.Sum(nowMs, kPresentUs, kRecentSeconds, true), presents);
    if (presents > 0) {
        out.presentWorstUs = static_cast<int32_t>(m_decode.Maximum(nowMs, kPresentMaxUs, kRecentSeconds, true));
    }

    out.queueDepth = queueDepth;
    out.audioBufferMs = m_audioMs.load(std::memory_order_relaxed);
    out.reconnects = m_reconnects.load(std::memory_order_relaxed);
    std::lock_guard<std::mutex> lock(m_errorMutex);
    out.lastErrorCode = m_errorCode;
    common::CopyText(out.lastErrorText, m_errorText.c_str());
}

}  // namespace handset_sdk
