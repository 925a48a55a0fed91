#pragma once
// The counters behind SWDataSource::getStreamStats: arrivals, queue drops,
// delay echoes and link events on the link's thread, decoding and showing on
// the decoder's thread. Atomics only, except the rare error text.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "common/rolling_seconds.h"
#include "swplay_u/sw_stream_stats.h"

namespace swplay_u {

class StreamCounters {
public:
    void Reset();

    // Link thread.
    void OnReceived(uint32_t bytes);
    void OnDelay(uint32_t delayMs);
    void OnReconnect();
    void OnError(int code, const char* text);

    // Any thread.
    void OnQueueDrops(uint64_t frames);
    void OnQueueDepth(size_t depth);

    // Decoder thread.
    void OnDecoded(int64_t micros, bool ok, int width, int height);
    void OnShown(int64_t micros);

    void Fill(SWStreamStats& out, int64_t nowMs) const;

private:
    enum LinkSum : size_t { kReceived, kBytes, kDelaySum, kDelayCount, kLinkSums };
    enum DecodeSum : size_t { kDecoded, kDecodeUs, kDecodeCount, kShown, kShowUs, kDecodeSums };
    enum DecodeMax : size_t { kDecodeMaxUs, kShowMaxUs, kDecodeMaxes };

    common::RollingSeconds<kLinkSums, 1> m_link;  // max 0: delay
    common::RollingSeconds<kDecodeSums, kDecodeMaxes> m_decode;
    std::atomic<int> m_width{-1};
    std::atomic<int> m_height{-1};
    std::atomic<uint64_t> m_received{0};
    std::atomic<uint64_t> m_decoded{0};
    std::atomic<uint64_t> m_shown{0};
    std::atomic<uint64_t> m_droppedQueue{0};
    std::atomic<uint64_t> m_droppedDecode{0};
    std::atomic<int> m_delayLast{-1};
    std::atomic<int> m_queueDepth{0};
    std::atomic<unsigned> m_reconnects{0};
    mutable std::mutex m_errorMutex;
    int m_errorCode = 0;
    std::string m_errorText;
};

}  // namespace swplay_u
