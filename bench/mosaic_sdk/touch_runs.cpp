// Each touch alternates down and up at one point; the next goes out only
// after every expected copy of the last arrived, so the latencies do not
// overlap. CPU time counts the calling thread and the loop thread that sends
// the packages (the stream link's, or the node manager's), found through a
// notification that runs on it.
#include "touch_runs.h"

#include <time.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "base/base_log.h"
#include "handset_sdk/handset_sdk.h"
#include "mosaic_sdk/mosaic_sdk.h"
#include "process_usage.h"

namespace mosaic_bench {

namespace {

constexpr int kWaitMs = 60000;

double CallerCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + t.tv_nsec / 1e9;
}

bool WaitFor(const std::atomic<bool>& flag, int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!flag.load()) {
        if (Clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

class PhoneNotic : public handset_sdk::IQVPhoneNotic {
public:
    void OnStatus(int, const char*) override {}
    void OnSessionError(int, const char*) override {}
    void OnPlayRes(int code, const char*, int, int, int, int, int, int, int, int) override {
        loopTid.store(base::GetTid());
        if (code == 0) playing.store(true);
    }
    void OnOutScreen(int, int, int, int, int) override {}
    std::atomic<bool> playing{false};
    std::atomic<long> loopTid{0};
};

class GroupNotic : public mosaic_sdk::IPicGCNotic {
public:
    void OnErrorNotic(int code, const char*, void*) override {
        if (code == 0) ready.store(true);
        else failed.store(code);
    }
    void OnGCErrorNotic(mosaic_sdk::EErrorType, int, const char*, const mosaic_sdk::InstanceErrorInfo*, size_t,
                        void*) override {
        loopTid.store(base::GetTid());
    }
    std::atomic<bool> ready{false};
    std::atomic<int> failed{0};
    std::atomic<long> loopTid{0};
};

// Sends touches with send(type) and measures each until count copies arrived.
template <typename Send>
RunResult Measure(BenchCloud& cloud, int touches, bool viaNode, size_t count, long loopTid, Send send) {
    RunResult result;
    const double loopStart = handset_bench::ThreadCpuSeconds(static_cast<pid_t>(loopTid));
    double callerCpu = 0;
    for (int i = 0; i < touches; ++i) {
        cloud.Arrivals().Expect(viaNode, count);
        const uint32_t type = i % 2 == 0 ? 0 : 1;
        const double cpu0 = CallerCpuSeconds();
        const Clock::time_point start = Clock::now();
        if (send(type) != 0) {
            result.error = "touch call refused";
            return result;
        }
        callerCpu += CallerCpuSeconds() - cpu0;
        Clock::time_point last;
        if (!cloud.Arrivals().Wait(kWaitMs, last)) {
            result.error = "touch " + std::to_string(i) + " did not reach every phone";
            return result;
        }
        result.latencyMs.push_back(std::chrono::duration<double, std::milli>(last - start).count());
    }
    const double loopCpu = handset_bench::ThreadCpuSeconds(static_cast<pid_t>(loopTid)) - loopStart;
    if (loopStart >= 0) result.clientCpuMsPerInput = (callerCpu + loopCpu) * 1000.0 / touches;
    return result;
}

}  // namespace

RunResult RunSingleTouches(BenchCloud& cloud, int touches) {
    RunResult result;
    auto notic = std::make_shared<PhoneNotic>();
    auto phone = handset_sdk::IHandsetSdk::CreateQVPhone();
    handset_sdk::QvDataParam data;
    common::CopyText(data.baseUrl, cloud.BaseUrl().c_str());
    common::CopyText(data.userId, kUserId);
    common::CopyText(data.accessKey, kAccessKey);
    common::CopyText(data.secretKey, kSecretKey);
    common::CopyText(data.instanceNo, kSingleInstance);
    handset_sdk::QvPhoneParam video;
    video.fps = 10;
    handset_sdk::QVOutParam out;
    out.showMode = 0;
    out.decodeMode = 2;
    if (phone->Init(notic, &data, &video, nullptr, &out) != 0 || phone->Start() != 0 ||
        !WaitFor(notic->playing, kWaitMs)) {
        result.error = "the single phone did not play";
    } else {
        const int xs[] = {360}, ys[] = {640};
        result = Measure(cloud, touches, false, 1, notic->loopTid.load(),
                         [&](uint32_t type) { return phone->SendTouchRaw(type, xs, ys, 1); });
    }
    phone->Uninit();
    return result;
}

RunResult RunFanOutTouches(BenchCloud& cloud, int touches) {
    RunResult result;
    auto notic = std::make_shared<GroupNotic>();
    auto phoneNotic = std::make_shared<PhoneNotic>();
    auto sdk = mosaic_sdk::IMosaicSdk::CreateMosaicSdk();
    mosaic_sdk::QvDataParam data;  // no main phone: the fan-out alone is measured
    common::CopyText(data.baseUrl, cloud.BaseUrl().c_str());
    common::CopyText(data.userId, kUserId);
    common::CopyText(data.accessKey, kAccessKey);
    common::CopyText(data.secretKey, kSecretKey);
    mosaic_sdk::QvPicGCSysParam gc;
    gc.apiTimeoutMs = 60000;
    gc.connectTimeoutMs = 60000;
    std::vector<const char*> numbers;
    for (const auto& n : cloud.Followers()) numbers.push_back(n.c_str());
    if (sdk->Init(phoneNotic, notic, &data, &gc, nullptr, nullptr, nullptr, nullptr) != 0 ||
        sdk->Start(numbers.data(), static_cast<uint32_t>(numbers.size())) != 0 || !WaitFor(notic->ready, kWaitMs)) {
        result.error = "the group did not start (" + std::to_string(notic->failed.load()) + ")";
        sdk->Uninit();
        return result;
    }
    // Control is under way once every node controls its phones; a node error
    // report then shows the node manager's loop thread.
    const auto allControlled = [&] {
        size_t controlled = 0;
        for (const auto& nodeNo : cloud.NodeNumbers()) {
            cloudsim::NodeView view;
            if (!cloud.Cloud().Node(nodeNo, view)) continue;
            for (const auto& c : view.connections) controlled += c.instances.size();
        }
        return controlled == numbers.size();
    };
    const auto deadline = Clock::now() + std::chrono::milliseconds(kWaitMs);
    while (!allControlled() && Clock::now() < deadline) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    cloud.Cloud().SendNodeError(cloud.NodeNumbers()[0], 9, 1, {});
    const auto tidDeadline = Clock::now() + std::chrono::milliseconds(kWaitMs);
    while (notic->loopTid.load() == 0 && Clock::now() < tidDeadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    if (!allControlled()) {
        result.error = "the nodes did not take control";
    } else {
        const int xs[] = {360}, ys[] = {640};
        result = Measure(cloud, touches, true, numbers.size(), notic->loopTid.load(),
                         [&](uint32_t type) { return sdk->SendTouchRaw(type, xs, ys, 1); });
    }
    sdk->Uninit();
    return result;
}

}  // namespace mosaic_bench
