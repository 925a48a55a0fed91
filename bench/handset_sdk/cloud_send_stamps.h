#pragma once
// Video frames as the in-process cloud sends them: stamped (and their
// H.264 access units kept) when its streamer builds each video package.
#include "stamp_log.h"

namespace handset_bench {

StampLog& CloudVideoSends();

}  // namespace handset_bench
