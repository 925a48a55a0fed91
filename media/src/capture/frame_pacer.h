#pragma once
// Paces a capture loop at a fixed period on the steady clock, waking early
// when asked to stop. A loop that fell far behind starts afresh instead of
// delivering a burst.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

namespace capture {

class FramePacer {
public:
    explicit FramePacer(std::chrono::microseconds period) : m_period(period) {}

    // Waits for the next slot; false when stop was set meanwhile.
    bool Wait(const std::atomic<bool>& stop) {
        const auto now = Clock::now();
        if (m_next.time_since_epoch().count() == 0 || now - m_next > std::chrono::milliseconds(250)) m_next = now;
        while (!stop) {
            const auto left = m_next - Clock::now();
            if (left <= Clock::duration::zero()) break;
            // Short naps keep a stop request visible within a few milliseconds.
            std::this_thread::sleep_for(std::min<Clock::duration>(left, std::chrono::milliseconds(5)));
        }
        m_next += m_period;
        return !stop;
    }

private:
    using Clock = std::chrono::steady_clock;
    const std::chrono::microseconds m_period;
    Clock::time_point m_next{};
};

}  // namespace capture
