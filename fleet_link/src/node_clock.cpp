#include "node_clock.h"

#include <chrono>

namespace fleet_link {

int64_t NodeClock::NowMs() const {
    int64_t fixed = m_fixedMs.load();
    if (fixed != 0) {
        return fixed;
    }
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

int64_t HeartBeatDelay(int64_t nowMs, int64_t sentMs) {
    int64_t difference = 0;
    if (__builtin_sub_overflow(nowMs, sentMs, &difference)) {
        difference = sentMs < 0 ? INT64_MAX : INT64_MIN;
    }
    return difference / 2;
}

}  // namespace fleet_link
