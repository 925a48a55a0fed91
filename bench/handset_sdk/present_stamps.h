#pragma once
// Pictures the SDK's video player presents: the executable's own
// SDL_RenderPresent forwards to SDL's and then stamps the presentation.
#include "stamp_log.h"

namespace handset_bench {

StampLog& PresentedPictures();
// Time spent inside SDL's SDL_RenderPresent since the process started.
Nanos PresentCallNanos();
// CPU time of the presenting threads inside it.
Nanos PresentCallCpuNanos();

}  // namespace handset_bench
