// Benchmarks of the stream link; every figure is printed beside a baseline
// measured in the same run, as a ratio.
#include "base/base_log.h"
#include "bench_common.h"

int main() {
    int level = 60;  // keep the per-message info lines out of the timing
    base::IBaseLogInterface::GetLogInstance()->SetLevel(&level);
    base::IBaseLogInterface::GetLogInstance()->Apply();
    relay_bench::RunMessageCost();
    relay_bench::RunVideoReceiveRate();
    return 0;
}
