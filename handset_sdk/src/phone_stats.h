#pragma once
// The figures behind IHandsetSdk::GetStatistics, counted where the events
// happen: arrivals, queue drops and delay echoes on the stream link's loop
// thread, decoding and presentation on the decode thread. Frame counting
// uses atomics only; the last error's text, rare, has a small mutex.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "common/rolling_seconds.h"
#include "handset_sdk/handset_stats.h"

namespace handset_sdk {

class CPhoneStats {
public:
    // Forgets everything (at Init, while no stream runs). requestedMode is
    // the decodeMode asked for, decodeMode the one in use after the probe.
    void Reset(int requestedMode, int decodeMode);

    // Loop thread.
    void OnStream(int codec, int width, int height);
    void OnFrameReceived(uint32_t bytes);
    void OnQueueDrops(uint64_t frames);
    void OnDelay(uint32_t delayMs);
    void OnReconnect();
    // Any thread; code 0 is not an error.
    void OnError(int code, const char* text);

    // Decode thread.
    void OnSize(int width, int height);
    void OnDecoded(int64_t micros, bool ok);
    void OnPresented(int64_t micros);
    void OnAudioQueued(int ms);

    void Fill(QvPhoneStats& out, int64_t nowMs, int queueDepth) const;

private:
    enum LinkSum : size_t { kReceived, kBytes, kDelaySum, kDelayCount, kLinkSums };
    enum LinkMax : size_t { kDelayMax, kLinkMaxes };
    enum DecodeSum : size_t { kDecoded, kDecodeUs, kDecodeCount, kPresented, kPresentUs, kDecodeSums };
    enum DecodeMax : size_t { kDecodeMaxUs, kPresentMaxUs, kDecodeMaxes };

    common::RollingSeconds<kLinkSums, kLinkMaxes> m_link;
    common::RollingSeconds<kDecodeSums, kDecodeMaxes> m_decode;

    std::atomic<int> m_codec{-1};
    std::atomic<int> m_width{-1};
    std::atomic<int> m_height{-1};
    std::atomic<int> m_requestedMode{0};
    std::atomic<int> m_decodeMode{2};
    std::atomic<uint64_t> m_received{0};
    std::atomic<uint64_t> m_decoded{0};
    std::atomic<uint64_t> m_presented{0};
    std::atomic<uint64_t> m_droppedQueue{0};
    std::atomic<uint64_t> m_droppedDecode{0};
    std::atomic<int> m_delayLast{-1};
    std::atomic<int> m_audioMs{-1};
    std::atomic<uint32_t> m_reconnects{0};

    mutable std::mutex m_errorMutex;
    int m_errorCode = 0;
    std::string m_errorText;
};

}  // namespace handset_sdk
