#pragma once
// What every Kovra channel shares: the vendor runtime, started once per
// process, and the stream's frame size and video levels.
#include "swplay_u/sw_data_source.h"

namespace app {

constexpr int kKovraFrameWidth = 720;
constexpr int kKovraFrameHeight = 1280;

// Starts the vendor runtime the first time any channel asks; thread-safe.
void InitKovraRuntime();

// One video level of a data source at the stream's frame size.
swplay_u::SWVideoLevel KovraVideoLevel(int level, int bitrate, int quality);

}  // namespace app
