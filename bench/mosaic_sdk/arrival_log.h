#pragma once
// When touches arrive at the local cloud's phones: the cloud's input hook
// marks each one with the steady clock, and the measuring thread waits until
// as many as it expects have arrived.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>

namespace mosaic_bench {

using Clock = std::chrono::steady_clock;

class ArrivalLog {
public:
    // Counts touches of this path (node copies or stream input) from now on.
    void Expect(bool viaNode, size_t count);
    // The cloud's hook: any input applied to any phone.
    void Mark(const std::string& kind, bool viaNode);
    // Waits until the expected touches arrived; false on time-out. last is the
    // arrival of the last of them.
    bool Wait(int timeoutMs, Clock::time_point& last);

private:
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    bool m_viaNode = false;
    size_t m_expected = 0;
    size_t m_count = 0;
    Clock::time_point m_last;
};

}  // namespace mosaic_bench
