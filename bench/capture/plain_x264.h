#pragma once
// The baseline: libx264 through libavcodec with the uplink encoder's settings
// (veryfast, zerolatency, baseline, one thread, same bit rate and key
// interval), fed the same frames already cropped and turned, at the same pace.
#include <vector>

#include "frames.h"

namespace capture_bench {

RunResult RunPlainX264(const std::vector<std::vector<uint8_t>>& frames);

}  // namespace capture_bench
