// Loopback benchmark of the network engine: each figure is measured beside the
// same work done by a plain Boost.Beast client in the same run.
//
//   bench_net_engine [ws|http]   (both when no argument is given)
#include <cstdio>
#include <cstring>

#include "bench_support.h"

namespace bench {
void RunWsBenchmarks();
void RunHttpBenchmarks();
}  // namespace bench

int main(int argc, char** argv) {
    const char* only = argc > 1 ? argv[1] : "";
    if (!*only || std::strcmp(only, "ws") == 0) bench::RunWsBenchmarks();
    if (!*only || std::strcmp(only, "http") == 0) bench::RunHttpBenchmarks();
    return 0;
}
