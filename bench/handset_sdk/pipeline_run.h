#pragma once
// The handset SDK's decode pipeline against the local cloud, software
// decoding at 720 x 1280: out mode (latency to OnVideoFrame) or show mode
// (latency to the picture presented in an X window).
#include "run_result.h"

namespace handset_bench {

class XvfbServer;

// x is needed for show mode only.
RunResult RunPipeline(bool show, int fps, double seconds, XvfbServer* x);

}  // namespace handset_bench
