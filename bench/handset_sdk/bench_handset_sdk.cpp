// The handset SDK's decode pipeline at 720 x 1280, 30 and 60 frames per
// second, software decoding, fed by the in-process local cloud. For out mode
// (to OnVideoFrame) and show mode (to the picture presented in a private
// Xvfb window): latency percentiles, dropped frames, CPU per frame and
// resident memory, beside plain libavcodec decoding of the same stream.
//
//   bench_handset_sdk [seconds per configuration, default 5]
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "link_run.h"
#include "pipeline_run.h"
#include "plain_decode.h"
#include "xvfb_peer/xcb_windows.h"
#include "xvfb_peer/xvfb_server.h"

namespace handset_bench {
namespace {

constexpr double kDefaultSeconds = 5.0;
constexpr int kScreenWidth = 800;
constexpr int kScreenHeight = 1400;

double Percentile(std::vector<double> values, double q) {
    if (values.empty()) return -1;
    std::sort(values.begin(), values.end());
    const size_t rank = static_cast<size_t>(std::ceil(q * static_cast<double>(values.size())));
    return values[std::min(values.size() - 1, rank > 0 ? rank - 1 : 0)];
}

// Prints one row; plainMs <= 0 leaves the baseline columns out. false for a failed run.
bool PrintRow(const char* mode, int fps, const RunResult& r, double plainMs) {
    if (!r.error.empty()) {
        std::printf("%-4s %2dfps  failed: %s\n", mode, fps, r.error.c_str());
        return false;
    }
    const double p50 = Percentile(r.latencyMs, 0.50);
    std::printf("%-4s %2dfps  p50 %6.2f ms  p99 %6.2f ms  dropped %zu/%zu  cpu %5.2f ms/frame  thread %5.2f ms/frame"
                " (waited %5.2f)  rss %4.0f MB",
                mode, fps, p50, Percentile(r.latencyMs, 0.99), r.sent > r.delivered ? r.sent - r.delivered : 0,
                r.sent, r.cpuMsPerFrame, r.threadMsPerFrame, r.threadWaitMsPerFrame, r.rssMiB);
    if (r.presentMsPerFrame >= 0) std::printf("  present %5.2f ms/frame", r.presentMsPerFrame);
    if (plainMs > 0) {
        std::printf("  plain %5.2f ms  ratio %6.2f  thread ratio %5.2f", plainMs, p50 / plainMs,
                    r.threadMsPerFrame / plainMs);
    }
    if (r.helperCpuMsPerFrame >= 0) std::printf("  xvfb %5.2f ms/frame", r.helperCpuMsPerFrame);
    // Pairing in order is exact only when every sent frame came out.
    if (r.delivered != r.sent) std::printf("  (latency pairs approximate: %zu delivered)", r.delivered);
    std::printf("\n");
    if (!r.presentPath.empty()) std::printf("           path: %s\n", r.presentPath.c_str());
    return true;
}

double PlainMs(const RunResult& r) {
    int decoded = 0;
    return r.units.empty() ? -1 : PlainDecodeMsPerFrame(r.units, &decoded);
}

bool LinkRow(int fps, double seconds) { return PrintRow("link", fps, RunLink(fps, seconds), 0); }

bool OutRow(int fps, double seconds) {
    const RunResult out = RunPipeline(false, fps, seconds, nullptr, 0, "");
    return PrintRow("out", fps, out, PlainMs(out));
}

bool ShowRow(int fps, double seconds) {
    xvfb_peer::XvfbServer server;
    xvfb_peer::XcbWindows windows;
    std::string error;
    if (!server.Start(kScreenWidth, kScreenHeight, &error) || !windows.Connect(server.Display(), &error)) {
        std::printf("show %2dfps  failed: %s\n", fps, error.c_str());
        return false;
    }
    const RunResult show = RunPipeline(true, fps, seconds, &windows, server.Pid(), server.Display());
    return PrintRow("show", fps, show, PlainMs(show));
}

// Each row runs in a process of its own, so that memory, threads and CPU
// time of one configuration do not carry over into the next. false when
// the row failed.
bool RunIsolated(const char* mode, int fps, double seconds, bool (*row)(int, double)) {
    std::fflush(stdout);
    const pid_t pid = fork();
    if (pid == 0) {
        const bool ok = row(fps, seconds);
        std::fflush(stdout);
        _exit(ok ? 0 : 1);
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid) {
        std::printf("%-4s %2dfps  could not run\n", mode, fps);
        return false;
    }
    if (WIFSIGNALED(status)) {
        std::printf("%-4s %2dfps  died of signal %d\n", mode, fps, WTERMSIG(status));
        return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace
}  // namespace handset_bench

int main(int argc, char** argv) {
    using namespace handset_bench;
    const double seconds = argc > 1 ? std::atof(argv[1]) : kDefaultSeconds;
    if (seconds <= 0) {
        std::fprintf(stderr, "usage: %s [seconds per configuration]\n", argv[0]);
        return 2;
    }
    // Before SDL starts: its X11 video driver on the private server, no sound device.
    setenv("SDL_VIDEODRIVER", "x11", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::printf("handset SDK decode pipeline, H.264 720x1280 software decoding, %.0f s per row, one process per row\n",
                seconds);
    std::printf("latency: from the cloud sending the frame to  link: the data notification (no SDK),"
                "  out: OnVideoFrame,  show: presented in an Xvfb window\n");
    std::printf("cpu: whole process per frame sent (the in-process cloud's rendering and encoding included);"
                " thread: the delivering thread (link: stream loop, out/show: decode thread) per frame,"
                " waited: its time ready but without a CPU; present: show mode's present thread (conversion and"
                " put into the window) per frame\n");
    std::printf("rss: VmRSS at the end, cloud included; plain: libavcodec alone on the same frames, one thread,"
                " low delay; ratio = p50 / plain; thread ratio = thread / plain; xvfb: the X server's CPU;"
                " path: the presentation path the player chose and why\n");
    bool ok = true;
    for (int fps : {30, 60}) {
        ok = RunIsolated("link", fps, seconds, LinkRow) && ok;
        ok = RunIsolated("out", fps, seconds, OutRow) && ok;
        ok = RunIsolated("show", fps, seconds, ShowRow) && ok;
    }
    return ok ? 0 : 1;
}
