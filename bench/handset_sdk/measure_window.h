#pragma once
// One measured stretch of a running stream. The stream is paused until
// nothing is in flight, then every frame the cloud sends from the resume to
// the next pause is paired, in order, with the frame delivered for it: the
// pipeline neither reorders nor (when healthy) drops frames, and the quiet
// gaps on both sides keep frames outside the window from being counted.
#include <sys/types.h>

#include <functional>

#include "run_result.h"
#include "stamp_log.h"

namespace handset_bench {

struct StreamControl {
    std::function<int()> pause;   // 0 when the request went out
    std::function<int()> resume;
};

// helper: another process whose CPU time is measured too (0: none).
// thread: names the thread whose run time is measured once frames flow
// (empty, or 0 from it: the one that delivers). present: a second thread
// whose run time is measured too (show mode's present thread; empty or 0: none).
RunResult MeasureWindow(const StreamControl& control, StampLog& delivered, double seconds, pid_t helper = 0,
                        const std::function<pid_t()>& thread = {}, const std::function<pid_t()>& present = {});

}  // namespace handset_bench
