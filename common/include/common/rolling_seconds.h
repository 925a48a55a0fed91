#pragma once
// Figures of the last few seconds, one slot per second of the steady clock,
// for statistics shown to people (frame rates, bit rate, averages and worst
// values). One thread writes a ring (the thread where the events happen);
// any thread reads it. Everything is atomic, nothing locks, so counting on a
// frame path costs a few relaxed atomic operations.
//
// The writer reuses a slot when its second comes round again: it marks the
// slot invalid, clears it and stamps it with the new second. A reader checks
// the stamp before and after reading and ignores a slot rewritten meanwhile.
#include <array>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>

namespace common {

// Milliseconds of the steady clock (the time base of every ring).
inline int64_t SteadyMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Sums figures Sums and keeps maxima Maxes, per second.
template <size_t Sums, size_t Maxes>
class RollingSeconds {
public:
    // Seconds kept: ten full ones besides the current one, and a spare.
    static constexpr int64_t kSlots = 12;

    RollingSeconds() { Reset(SteadyMs()); }

    // Forgets everything; counting begins at nowMs. Only while no writer runs.
    void Reset(int64_t nowMs) {
        for (Slot& slot : m_slots) {
            slot.second.store(-1, std::memory_order_relaxed);
            for (auto& v : slot.sums) v.store(0, std::memory_order_relaxed);
            for (auto& v : slot.maxes) v.store(0, std::memory_order_relaxed);
        }
        m_startSecond.store(nowMs / 1000, std::memory_order_release);
    }

    // Writer thread only.
    void Add(int64_t nowMs, size_t sum, int64_t value) {
        Touch(nowMs / 1000).sums[sum].fetch_add(value, std::memory_order_relaxed);
    }
    void Max(int64_t nowMs, size_t max, int64_t value) {
        Slot& slot = Touch(nowMs / 1000);
        if (value > slot.maxes[max].load(std::memory_order_relaxed)) {
            slot.maxes[max].store(value, std::memory_order_relaxed);
        }
    }

    // Sum of figure sum over the seconds [nowMs / 1000 - back, nowMs / 1000 - 1 + current]:
    // the last `back` complete seconds, plus the current one when current is set.
    int64_t Sum(int64_t nowMs, size_t sum, int64_t back, bool current = false) const {
        int64_t total = 0;
        ForSeconds(nowMs, back, current, [&](const Slot& slot) {
            total += slot.sums[sum].load(std::memory_order_relaxed);
        });
        return total;
    }
    int64_t Maximum(int64_t nowMs, size_t max, int64_t back, bool current = false) const {
        int64_t worst = 0;
        ForSeconds(nowMs, back, current, [&](const Slot& slot) {
            const int64_t v = slot.maxes[max].load(std::memory_order_relaxed);
            if (v > worst) worst = v;
        });
        return worst;
    }

    // How many of the last `back` complete seconds lie wholly after the
    // reset (the first, partial second does not count).
    int64_t CompleteSeconds(int64_t nowMs, int64_t back) const {
        const int64_t now = nowMs / 1000;
        const int64_t first = m_startSecond.load(std::memory_order_acquire) + 1;
        const int64_t from = now - back > first ? now - back : first;
        return now - from > 0 ? now - from : 0;
    }

private:
    struct Slot {
        std::atomic<int64_t> second{-1};
        std::array<std::atomic<int64_t>, Sums == 0 ? 1 : Sums> sums{};
        std::array<std::atomic<int64_t>, Maxes == 0 ? 1 : Maxes> maxes{};
    };

    Slot& Touch(int64_t second) {
        Slot& slot = m_slots[static_cast<size_t>(second % kSlots)];
        if (slot.second.load(std::memory_order_relaxed) != second) {
            slot.second.store(-1, std::memory_order_relaxed);
            std::atomic_thread_fence(std::memory_order_release);
            for (auto& v : slot.sums) v.store(0, std::memory_order_relaxed);
            for (auto& v : slot.maxes) v.store(0, std::memory_order_relaxed);
            slot.second.store(second, std::memory_order_release);
        }
        return slot;
    }

    template <typename Fn>
    void ForSeconds(int64_t nowMs, int64_t back, bool current, Fn&& fn) const {
        const int64_t now = nowMs / 1000;
        if (back > kSlots - 1) back = kSlots - 1;
        const int64_t last = current ? now : now - 1;
        for (int64_t s = now - back; s <= last; ++s) {
            if (s < 0) continue;
            const Slot& slot = m_slots[static_cast<size_t>(s % kSlots)];
            if (slot.second.load(std::memory_order_acquire) != s) continue;
            Slot copy;
            for (size_t i = 0; i < slot.sums.size(); ++i)
                copy.sums[i].store(slot.sums[i].load(std::memory_order_relaxed), std::memory_order_relaxed);
            for (size_t i = 0; i < slot.maxes.size(); ++i)
                copy.maxes[i].store(slot.maxes[i].load(std::memory_order_relaxed), std::memory_order_relaxed);
            std::atomic_thread_fence(std::memory_order_acquire);
            if (slot.second.load(std::memory_order_relaxed) != s) continue;  // rewritten while read
            fn(copy);
        }
    }

    std::array<Slot, kSlots> m_slots;
    std::atomic<int64_t> m_startSecond{0};
};

}  // namespace common
