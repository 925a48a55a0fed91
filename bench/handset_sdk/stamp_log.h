#pragma once
// Times of events that happen on other threads (frames sent, handed out,
// presented), kept only between Begin and End. Every call is counted, so a
// caller can tell when the events have stopped.
#include <sys/types.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

namespace handset_bench {

using Nanos = int64_t;

// Steady clock in nanoseconds.
Nanos NowNanos();

class StampLog {
public:
    // Clears what was kept and starts keeping stamps.
    void Begin();
    void End();
    // Stamps now; data (when given and payloads are kept) is copied too.
    void Mark(const uint8_t* data = nullptr, size_t size = 0);
    void KeepPayloads(bool keep);

    std::vector<Nanos> Stamps() const;
    std::vector<std::vector<uint8_t>> Payloads() const;
    // Calls of Mark since the process started, recording or not.
    uint64_t Total() const { return m_total.load(); }
    // Thread id of the latest caller of Mark; 0 before the first.
    pid_t LastTid() const { return m_lastTid.load(); }

private:
    mutable std::mutex m_mutex;
    bool m_recording = false;
    bool m_keepPayloads = false;
    std::vector<Nanos> m_stamps;
    std::vector<std::vector<uint8_t>> m_payloads;
    std::atomic<uint64_t> m_total{0};
    std::atomic<pid_t> m_lastTid{0};
};

}  // namespace handset_bench
