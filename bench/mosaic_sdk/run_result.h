#pragma once
// What one measured run produced.
#include <string>
#include <vector>

namespace mosaic_bench {

struct RunResult {
    std::string error;             // empty when the run worked
    std::vector<double> latencyMs; // call to the last arrival, one per touch
    double clientCpuMsPerInput = -1;  // calling thread plus the link's loop thread
};

}  // namespace mosaic_bench
