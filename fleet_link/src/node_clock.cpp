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

}  // namespace fleet_link
