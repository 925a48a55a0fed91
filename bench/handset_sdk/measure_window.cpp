#include "measure_window.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "cloud_send_stamps.h"
#include "process_usage.h"

namespace handset_bench {

namespace {

constexpr auto kPoll = std::chrono::milliseconds(20);
constexpr Nanos kQuietNanos = 400'000'000;
constexpr Nanos kQuietLimitNanos = 5'000'000'000;
constexpr Nanos kWarmLimitNanos = 15'000'000'000;
constexpr uint64_t kWarmFrames = 10;

// Waits until neither side has seen a frame for the quiet time.
bool WaitQuiet(const StampLog& sends, const StampLog& delivered) {
    const Nanos deadline = NowNanos() + kQuietLimitNanos;
    uint64_t lastSends = sends.Total(), lastDelivered = delivered.Total();
    Nanos quietSince = NowNanos();
    while (NowNanos() < deadline) {
        std::this_thread::sleep_for(kPoll);
        const uint64_t s = sends.Total(), d = delivered.Total();
        if (s != lastSends || d != lastDelivered) {
            lastSends = s;
            lastDelivered = d;
            quietSince = NowNanos();
        } else if (NowNanos() - quietSince >= kQuietNanos) {
            return true;
        }
    }
    return false;
}

bool WaitDelivered(const StampLog& delivered, uint64_t count) {
    const Nanos deadline = NowNanos() + kWarmLimitNanos;
    while (delivered.Total() < count) {
        if (NowNanos() > deadline) return false;
        std::this_thread::sleep_for(kPoll);
    }
    return true;
}

}  // namespace

RunResult MeasureWindow(const StreamControl& control, StampLog& delivered, double seconds, pid_t helper,
                        const std::function<pid_t()>& measured, const std::function<pid_t()>& present) {
    RunResult result;
    StampLog& sends = CloudVideoSends();
    if (!WaitDelivered(delivered, delivered.Total() + kWarmFrames)) {
        result.error = "no frames delivered";
        return result;
    }
    if (control.pause() != 0 || !WaitQuiet(sends, delivered)) {
        result.error = "the stream did not pause";
        return result;
    }
    const pid_t named = measured ? measured() : 0;
    const pid_t thread = named > 0 ? named : delivered.LastTid();
    const pid_t presentThread = present ? present() : 0;
    sends.KeepPayloads(true);
    sends.Begin();
    delivered.Begin();
    const double cpuStart = ProcessCpuSeconds();
    const double threadStart = ThreadCpuSeconds(thread);
    const double waitStart = ThreadRunQueueSeconds(thread);
    const double presentStart = presentThread > 0 ? ThreadCpuSeconds(presentThread) : -1;
    const double helperStart = OtherProcessCpuSeconds(helper);
    const bool resumed = control.resume() == 0;
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    const bool paused = resumed && control.pause() == 0 && WaitQuiet(sends, delivered);
    const double cpuEnd = ProcessCpuSeconds();
    const double threadEnd = ThreadCpuSeconds(thread);
    const double waitEnd = ThreadRunQueueSeconds(thread);
    const double presentEnd = presentThread > 0 ? ThreadCpuSeconds(presentThread) : -1;
    const double helperEnd = OtherProcessCpuSeconds(helper);
    result.rssMiB = ResidentMiB();
    sends.End();
    delivered.End();
    sends.KeepPayloads(false);
    if (!paused) {
        result.error = resumed ? "the stream did not pause" : "the stream did not resume";
        return result;
    }

    const std::vector<Nanos> sent = sends.Stamps();
    const std::vector<Nanos> got = delivered.Stamps();
    result.units = sends.Payloads();
    result.sent = sent.size();
    result.delivered = got.size();
    if (sent.empty() || got.empty()) {
        result.error = "no frames in the window";
        return result;
    }
    const size_t pairs = std::min(sent.size(), got.size());
    for (size_t i = 0; i < pairs; ++i) result.latencyMs.push_back(static_cast<double>(got[i] - sent[i]) / 1e6);
    result.cpuMsPerFrame = (cpuEnd - cpuStart) * 1000.0 / static_cast<double>(sent.size());
    if (threadStart >= 0 && threadEnd >= 0) {
        result.threadMsPerFrame = (threadEnd - threadStart) * 1000.0 / static_cast<double>(got.size());
    }
    if (waitStart >= 0 && waitEnd >= 0) {
        result.threadWaitMsPerFrame = (waitEnd - waitStart) * 1000.0 / static_cast<double>(got.size());
    }
    if (presentStart >= 0 && presentEnd >= 0) {
        result.presentMsPerFrame = (presentEnd - presentStart) * 1000.0 / static_cast<double>(got.size());
    }
    if (helperStart >= 0 && helperEnd >= 0) {
        result.helperCpuMsPerFrame = (helperEnd - helperStart) * 1000.0 / static_cast<double>(got.size());
    }
    return result;
}

}  // namespace handset_bench
