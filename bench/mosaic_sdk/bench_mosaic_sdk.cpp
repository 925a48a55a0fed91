// Fan-out cost of the group SDK against the in-process local cloud: from an
// IMosaicSdk touch call to the touch's arrival at the last follower (the
// cloud's input hook, steady clock), for 5, 50 and 200 followers over 2 and
// 8 nodes; p50, p99 and the client's CPU time per fanned-out touch, beside
// the same touch sent to one phone through the handset SDK alone in the
// same process, as ratios.
//
//   bench_mosaic_sdk [touches per row, default 200]
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_cloud.h"
#include "touch_runs.h"

namespace mosaic_bench {
namespace {

constexpr int kDefaultTouches = 200;

double Percentile(std::vector<double> values, double q) {
    if (values.empty()) return -1;
    std::sort(values.begin(), values.end());
    const size_t rank = static_cast<size_t>(std::ceil(q * static_cast<double>(values.size())));
    return values[std::min(values.size() - 1, rank > 0 ? rank - 1 : 0)];
}

double Ratio(double value, double base) { return base > 0 && value >= 0 ? value / base : -1; }

// One row: its own cloud, the single-phone baseline, then the group.
bool Row(int followers, int nodes, int touches) {
    BenchCloud cloud;
    std::string error;
    if (!cloud.Start(followers, nodes, &error)) {
        std::printf("%3d followers %d nodes  failed: %s\n", followers, nodes, error.c_str());
        return false;
    }
    const RunResult single = RunSingleTouches(cloud, touches);
    const RunResult group = single.error.empty() ? RunFanOutTouches(cloud, touches) : RunResult();
    if (!single.error.empty() || !group.error.empty()) {
        std::printf("%3d followers %d nodes  failed: %s\n", followers, nodes,
                    (!single.error.empty() ? "single: " + single.error : "group: " + group.error).c_str());
        return false;
    }
    const double p50 = Percentile(group.latencyMs, 0.50), p99 = Percentile(group.latencyMs, 0.99);
    const double singleP50 = Percentile(single.latencyMs, 0.50), singleP99 = Percentile(single.latencyMs, 0.99);
    std::printf("%3d followers %d nodes  p50 %7.2f ms  p99 %7.2f ms  cpu %6.3f ms/touch"
                "  | one phone p50 %6.2f ms  p99 %6.2f ms  cpu %6.3f ms/touch"
                "  | ratio p50 %6.2f  p99 %6.2f  cpu %6.2f\n",
                followers, nodes, p50, p99, group.clientCpuMsPerInput, singleP50, singleP99,
                single.clientCpuMsPerInput, Ratio(p50, singleP50), Ratio(p99, singleP99),
                Ratio(group.clientCpuMsPerInput, single.clientCpuMsPerInput));
    return true;
}

// Each row in a process of its own: threads, sockets and phones of one
// configuration do not weigh on the next.
bool RunIsolated(int followers, int nodes, int touches) {
    std::fflush(stdout);
    const pid_t pid = fork();
    if (pid == 0) {
        const bool ok = Row(followers, nodes, touches);
        std::fflush(stdout);
        _exit(ok ? 0 : 1);
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid) {
        std::printf("%3d followers %d nodes  could not run\n", followers, nodes);
        return false;
    }
    if (WIFSIGNALED(status)) {
        std::printf("%3d followers %d nodes  died of signal %d\n", followers, nodes, WTERMSIG(status));
        return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace
}  // namespace mosaic_bench

int main(int argc, char** argv) {
    using namespace mosaic_bench;
    const int touches = argc > 1 ? std::atoi(argv[1]) : kDefaultTouches;
    if (touches <= 0) {
        std::fprintf(stderr, "usage: %s [touches per row]\n", argv[0]);
        return 2;
    }
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::printf("group SDK touch fan-out against the in-process local cloud, %d touches per row (down and up"
                " in turn), one process per row\n", touches);
    std::printf("latency: IMosaicSdk::SendTouchRaw call to the touch applied at the last follower (no main phone);"
                " one phone: IHandsetSdk::SendTouchRaw to its arrival over the stream (a playing phone)\n");
    std::printf("cpu: the calling thread plus the loop thread that sends (node manager / stream link), per touch;"
                " ratio = group / one phone\n");
    bool ok = true;
    for (int nodes : {2, 8})
        for (int followers : {5, 50, 200}) ok = RunIsolated(followers, nodes, touches) && ok;
    return ok ? 0 : 1;
}
