#pragma once
// What both runs measure: per frame, the wall time from hand-over to done and
// the CPU time the handing thread spent.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace capture_bench {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kFps = 30;
// The phone asks for 640 x 360 with its back camera at 0 degrees: the uplink
// crops 640 x 360 out of the middle and turns it to 360 x 640.
constexpr int kRequestWidth = 640;
constexpr int kRequestHeight = 360;

struct RunResult {
    std::string error;
    std::vector<double> latencyMs;  // per frame
    std::vector<double> callbackMs; // the uplink's callback alone (prepare, encode, hand to the link)
    double cpuMsPerFrame = 0;       // of the thread that handed the frames over
    size_t frames = 0;
    size_t delivered = 0;
};

// The test picture frames both runs use, 640 x 480 I420.
std::vector<std::vector<uint8_t>> MakeFrames(int count);

}  // namespace capture_bench
