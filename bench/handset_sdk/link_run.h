#pragma once
// The stream without the SDK: a session data hub of its own against the
// local cloud, timed up to its video data notification. Shows how much of
// the pipeline's latency is the loopback transfer before decoding starts.
#include "run_result.h"

namespace handset_bench {

RunResult RunLink(int fps, double seconds);

}  // namespace handset_bench
