#pragma once
// The two measured runs of a row: touches to one phone through the handset
// SDK alone, and touches fanned out by the group SDK to every follower.
#include "bench_cloud.h"
#include "run_result.h"

namespace mosaic_bench {

RunResult RunSingleTouches(BenchCloud& cloud, int touches);
RunResult RunFanOutTouches(BenchCloud& cloud, int touches);

}  // namespace mosaic_bench
