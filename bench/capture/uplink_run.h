#pragma once
// The uplink: a producer hands each frame to the SDK (its callback), which
// crops, turns, encodes and sends it; the frame's time ends when its package
// arrives at the local cloud's end of the link.
#include <vector>

#include "frames.h"

namespace capture_bench {

RunResult RunUplink(const std::vector<std::vector<uint8_t>>& frames);

}  // namespace capture_bench
