#pragma once
// The handset SDK's decode pipeline against the local cloud, software
// decoding at 720 x 1280: out mode (latency to OnVideoFrame) or show mode
// (latency to the picture presented in an X window: the X server's damage
// report for it).
#include <sys/types.h>

#include <string>

#include "run_result.h"
#include "xvfb_peer/xcb_windows.h"

namespace handset_bench {

// windows (on the X server xvfbPid at display) are needed for show mode only.
RunResult RunPipeline(bool show, int fps, double seconds, xvfb_peer::XcbWindows* windows, pid_t xvfbPid,
                      const std::string& display);

}  // namespace handset_bench
