#pragma once
// Waiting on a condition with a generous bound; the bound only keeps a broken
// run from hanging on a loaded machine.
#include <chrono>
#include <functional>
#include <thread>

namespace soak {

using Clock = std::chrono::steady_clock;

inline bool WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (Clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

inline double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace soak
