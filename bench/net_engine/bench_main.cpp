// Loopback benchmark of the network engine: each figure is measured beside the
// same work done by a plain Boost.Beast client in the same run.
//
//   bench_net_engine [ws|http]   (both when no argument is given)
#include <cstdio>
#include <cstring>

#include "base/base_log.h"

#include "bench_support.h"

namespace bench {
void RunWsBenchmarks();
void RunHttpBenchmarks();
}  // namespace bench

int main(int argc, char** argv) {
    // The level the SDK libraries log at unless told otherwise: the engine's
    // per-request detail lines stay out of the timing, as in the product.
    int level = 20;
    base::IBaseLogInterface::GetLogInstance()->SetLevel(&level);
    base::IBaseLogInterface::GetLogInstance()->Apply();
    const char* only = argc > 1 ? argv[1] : "";
    if (!*only || std::strcmp(only, "ws") == 0) bench::RunWsBenchmarks();
    if (!*only || std::strcmp(only, "http") == 0) bench::RunHttpBenchmarks();
    return 0;
}
