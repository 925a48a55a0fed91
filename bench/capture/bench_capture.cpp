// The camera uplink at 640 x 480, 30 frames per second: p50 and p99 from the
// producer's callback into the SDK to the package arriving at the local
// cloud's end of the link (and of the callback alone, which ends once the
// package is handed to the link's loop), and the handing thread's CPU per
// frame, beside
// plain libx264 encoding of the same frames (cropped and turned beforehand)
// with the same settings, in the same run, as ratios.
//
//   bench_capture [seconds, default 10]
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "capture/synthetic_producers.h"
#include "plain_x264.h"
#include "uplink_run.h"

namespace capture_bench {

std::vector<std::vector<uint8_t>> MakeFrames(int count) {
    std::vector<std::vector<uint8_t>> frames(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) capture::TestPicture::RenderI420(kWidth, kHeight, i, i * 1000 / kFps, frames[i]);
    return frames;
}

namespace {

double Percentile(std::vector<double> values, double q) {
    if (values.empty()) return -1;
    std::sort(values.begin(), values.end());
    const size_t rank = static_cast<size_t>(std::ceil(q * static_cast<double>(values.size())));
    return values[std::min(values.size() - 1, rank > 0 ? rank - 1 : 0)];
}

bool Print(const char* name, const RunResult& r) {
    if (!r.error.empty()) {
        std::printf("%-8s failed: %s\n", name, r.error.c_str());
        return false;
    }
    std::printf("%-8s p50 %6.2f ms  p99 %6.2f ms  cpu %5.2f ms/frame  frames %zu/%zu", name,
                Percentile(r.latencyMs, 0.5), Percentile(r.latencyMs, 0.99), r.cpuMsPerFrame, r.delivered, r.frames);
    if (!r.callbackMs.empty()) {
        std::printf("  (callback p50 %5.2f ms, p99 %5.2f ms)", Percentile(r.callbackMs, 0.5),
                    Percentile(r.callbackMs, 0.99));
    }
    std::printf("\n");
    return true;
}

}  // namespace
}  // namespace capture_bench

int main(int argc, char** argv) {
    using namespace capture_bench;
    const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
    const int count = std::max(30, static_cast<int>(seconds * kFps));
    const auto frames = MakeFrames(count);
    std::printf("camera uplink %dx%d at %d fps, phone asks %dx%d (crop, turn, encode %dx%d), %d frames\n", kWidth,
                kHeight, kFps, kRequestWidth, kRequestHeight, kRequestHeight, kRequestWidth, count);
    const RunResult uplink = RunUplink(frames);
    const RunResult plain = RunPlainX264(frames);
    const bool ok = Print("uplink", uplink) & Print("libx264", plain);
    if (!ok) return 1;
    const double p50 = Percentile(plain.latencyMs, 0.5);
    const double p99 = Percentile(plain.latencyMs, 0.99);
    std::printf("ratio    p50 %6.2f     p99 %6.2f     cpu %5.2f\n", Percentile(uplink.latencyMs, 0.5) / p50,
                Percentile(uplink.latencyMs, 0.99) / p99, uplink.cpuMsPerFrame / plain.cpuMsPerFrame);
    return 0;
}
