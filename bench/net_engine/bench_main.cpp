// Loopback benchmark of the network engine: each figure is measured beside the
// same work done by a plain Boost.Beast client in the same run.
#include <cstdio>

#include "bench_support.h"

namespace bench {
void RunWsBenchmarks();
void RunHttpBenchmarks();
}  // namespace bench

int main() {
    bench::RunWsBenchmarks();
    bench::RunHttpBenchmarks();
    return 0;
}
