#include "uplink_run.h"

#include <time.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>

#include "capture/synthetic_producers.h"
#include "cloudsim/cloud_sim.h"
#include "handset_sdk/handset_sdk.h"
#include "relay_port/wire_format.h"

namespace capture_bench {

namespace {

using Clock = std::chrono::steady_clock;
constexpr const char* kInstance = "CP-DEMO-0001";
constexpr int kWarmUpFrames = 30;

double ThreadCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

// Arrival times of the camera data packages at the cloud.
struct Arrivals {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<Clock::time_point> times;

    void Add() {
        const auto now = Clock::now();
        std::lock_guard<std::mutex> lock(mutex);
        times.push_back(now);
        changed.notify_all();
    }
    bool WaitFor(size_t count, int seconds) {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(seconds), [&] { return times.size() >= count; });
    }
};

class Notic : public handset_sdk::IQVPhoneNotic {
public:
    void OnStatus(int, const char*) override {}
    void OnSessionError(int, const char*) override {}
    void OnPlayRes(int code, const char*, int, int, int, int, int, int, int, int) override {
        std::lock_guard<std::mutex> lock(mutex);
        played = code == 0 ? 1 : -1;
        changed.notify_all();
    }
    void OnOutScreen(int, int, int, int, int) override {}
    void OnOutCamera(int, bool on, uint16_t, uint16_t) override {
        if (on && onCamera) onCamera();
    }
    bool WaitPlayed() {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait_for(lock, std::chrono::seconds(20), [&] { return played != 0; });
        return played == 1;
    }
    std::function<void()> onCamera;
    std::mutex mutex;
    std::condition_variable changed;
    int played = 0;
};

}  // namespace

RunResult RunUplink(const std::vector<std::vector<uint8_t>>& frames) {
    RunResult result;
    char dir[] = "/tmp/capture_bench_XXXXXX";
    if (!mkdtemp(dir) || chdir(dir) != 0) {
        result.error = "no working folder";
        return result;
    }
    QvLogParam log{};
    log.level = 60;
    std::snprintf(log.directory, sizeof(log.directory), "%s/QVLog", dir);
    std::snprintf(log.name, sizeof(log.name), "HANDSET_SDK");
    log.fileSizeKb = 1024;
    log.fileCount = 1;
    handset_sdk::IHandsetSdk::SetLogParam(&log);

    auto arrivals = std::make_shared<Arrivals>();
    cloudsim::CloudOptions options;
    options.logLevel = 60;
    options.uplink.cameraLongSide = kRequestWidth;
    options.uplink.cameraShortSide = kRequestHeight;
    options.onUplinkPackage = [arrivals](const std::string&, uint32_t type, size_t) {
        if (type == relay_port::wire::kCameraData) arrivals->Add();
    };
    cloudsim::CloudSim cloud(options);
    std::string error;
    if (cloud.Start(&error) != 0) {
        result.error = "the local cloud does not start: " + error;
        return result;
    }
    setenv("TESSIVO_STAT_URL", cloud.HttpsUrl().c_str(), 1);

    auto producer = std::make_shared<capture::CCaptureProducer>(capture::CAPTURE_TYPE_I420);
    auto sdk = handset_sdk::IHandsetSdk::CreateQVPhone();
    auto notic = std::make_shared<Notic>();
    std::weak_ptr<handset_sdk::IHandsetSdk> weak = sdk;
    notic->onCamera = [weak, producer] {
        if (auto s = weak.lock()) s->SetCaptureSource(producer, nullptr);
    };
    handset_sdk::QvDataParam data;
    std::snprintf(data.baseUrl, sizeof(data.baseUrl), "%s", cloud.HttpsUrl().c_str());
    std::snprintf(data.userId, sizeof(data.userId), "demo-user");
    std::snprintf(data.accessKey, sizeof(data.accessKey), "demo-access-key");
    std::snprintf(data.secretKey, sizeof(data.secretKey), "demo-secret-key");
    std::snprintf(data.instanceNo, sizeof(data.instanceNo), "%s", kInstance);
    handset_sdk::QVOutParam out;
    out.showMode = 0;
    out.decodeMode = 2;
    if (sdk->Init(notic, &data, nullptr, nullptr, &out) != 0 || sdk->Start() != 0 || !notic->WaitPlayed()) {
        result.error = "the phone does not play";
        return result;
    }
    sdk->SetPlayControl(1, 0);  // the phone's own video pauses: the link carries the uplink alone
    int x = 270, y = 336;       // the Camera app's icon
    sdk->SendTouch(0, &x, &y, 1);
    sdk->SendTouch(1, &x, &y, 1);
    const auto attachDeadline = Clock::now() + std::chrono::seconds(20);
    while (producer->AttachedCount() == 0 && Clock::now() < attachDeadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (producer->AttachedCount() == 0) {
        result.error = "the phone did not ask for the camera";
        sdk->Uninit();
        return result;
    }

    capture::CaptureFrame frame;
    frame.type = capture::CAPTURE_TYPE_I420;
    frame.width = kWidth;
    frame.height = kHeight;
    const auto period = std::chrono::microseconds(1000000 / kFps);
    auto next = Clock::now();
    for (int i = 0; i < kWarmUpFrames; ++i) {
        std::this_thread::sleep_until(next);
        next += period;
        frame.data = frames[static_cast<size_t>(i) % frames.size()].data();
        frame.length = static_cast<int32_t>(frames[0].size());
        producer->Deliver(frame);
    }
    if (!arrivals->WaitFor(kWarmUpFrames, 20)) {
        result.error = "the warm-up frames did not arrive";
        sdk->Uninit();
        return result;
    }
    std::vector<Clock::time_point> handed;
    double cpu = 0;
    next = Clock::now();
    for (const auto& f : frames) {
        std::this_thread::sleep_until(next);
        next += period;
        frame.data = f.data();
        frame.length = static_cast<int32_t>(f.size());
        const double cpu0 = ThreadCpuMs();
        handed.push_back(Clock::now());
        producer->Deliver(frame);  // the SDK's callback: prepare, encode, send
        result.callbackMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - handed.back()).count());
        cpu += ThreadCpuMs() - cpu0;
    }
    arrivals->WaitFor(kWarmUpFrames + frames.size(), 20);
    {
        std::lock_guard<std::mutex> lock(arrivals->mutex);
        result.delivered = arrivals->times.size() - kWarmUpFrames;
        for (size_t i = 0; i < handed.size() && kWarmUpFrames + i < arrivals->times.size(); ++i) {
            result.latencyMs.push_back(
                std::chrono::duration<double, std::milli>(arrivals->times[kWarmUpFrames + i] - handed[i]).count());
        }
    }
    result.frames = frames.size();
    result.cpuMsPerFrame = frames.empty() ? 0 : cpu / frames.size();
    sdk->Uninit();
    return result;
}

}  // namespace capture_bench
