#pragma once
// Small timing helpers of the stream-link benchmark.
#include <chrono>
#include <cstdio>
#include <string>

namespace relay_bench {

inline double NowSeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// Makes the compiler assume memory changed, so loop-invariant work is redone.
inline void ClobberMemory() { asm volatile("" : : : "memory"); }
// Lets p escape, so the memory it points to counts as changed by ClobberMemory.
inline void Escape(const void* p) { asm volatile("" : : "g"(p) : "memory"); }

// Runs f n times in batches and returns nanoseconds per call of the fastest
// batch, so that time lost to other processes on a shared machine drops out.
template <class F>
double NsPerCall(size_t n, F&& f) {
    const size_t batches = 10;
    size_t perBatch = n / batches > 0 ? n / batches : 1;
    double best = 1e30;
    for (size_t b = 0; b < batches; ++b) {
        double start = NowSeconds();
        for (size_t i = 0; i < perBatch; ++i) {
            f(i);
            ClobberMemory();
        }
        double ns = (NowSeconds() - start) * 1e9 / static_cast<double>(perBatch);
        if (ns < best) best = ns;
    }
    return best;
}

void RunMessageCost();
void RunVideoReceiveRate();

}  // namespace relay_bench
