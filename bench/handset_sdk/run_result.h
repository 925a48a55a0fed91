#pragma once
// What one measured configuration yields.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace handset_bench {

struct RunResult {
    std::string error;               // empty when the run worked
    std::vector<double> latencyMs;   // per frame, sent frame i paired with delivered frame i
    size_t sent = 0;                 // video frames the cloud sent in the window
    size_t delivered = 0;            // of which handed out / presented / notified
    double cpuMsPerFrame = -1;       // process user+system time over the window / frames sent
    double threadMsPerFrame = -1;    // the delivering thread's run time / frames delivered
    double threadWaitMsPerFrame = -1;  // its time waiting for a CPU / frames delivered
    double presentMsPerFrame = -1;   // show mode: the SDK's present thread's run time / frames delivered
    double helperCpuMsPerFrame = -1; // a helper process (the X server) over the window / frames delivered
    std::string presentPath;         // show mode: the player's log line naming its path and why
    double rssMiB = -1;              // VmRSS at the end of the window
    std::vector<std::vector<uint8_t>> units;  // the H.264 access units sent in the window
};

}  // namespace handset_bench
