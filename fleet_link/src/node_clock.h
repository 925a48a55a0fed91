#pragma once
// Milliseconds of the system clock since 1970-01-01 UTC, as the node link
// reads them; tests may pin the clock to a fixed value.
#include <atomic>
#include <cstdint>

namespace fleet_link {

class NodeClock {
public:
    int64_t NowMs() const;
    // Pins the clock to ms; 0 returns to the system clock.
    void Fix(int64_t ms) { m_fixedMs.store(ms); }

private:
    std::atomic<int64_t> m_fixedMs{0};
};

// Half the time from sentMs (a heartbeat's "ts", as the node sent it) to
// nowMs; a difference beyond the int64 range saturates instead of overflowing.
int64_t HeartBeatDelay(int64_t nowMs, int64_t sentMs);

}  // namespace fleet_link
