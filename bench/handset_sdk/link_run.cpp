#include "link_run.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "bench_cloud.h"
#include "data_hub/data_hub.h"
#include "measure_window.h"

namespace handset_bench {

namespace {

constexpr auto kPlayWait = std::chrono::seconds(15);

class LinkNotic : public data_hub::IDataHubNotic {
public:
    void OnPlayRes(int code, const char* msg, int videoCodec, int bitrate, int fps, int width, int height,
                   int audioCodec, int sampleRate, int channels) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_playCode = code;
        m_played = true;
        m_changed.notify_all();
    }
    void OnVideoData(uint64_t first, uint64_t second, const uint8_t* data, uint32_t length) override {
        frames.Mark();
    }

    int WaitPlay() {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (!m_changed.wait_for(lock, kPlayWait, [this] { return m_played; })) return -1;
        return m_playCode;
    }

    StampLog frames;

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_played = false;
    int m_playCode = -1;
};

}  // namespace

RunResult RunLink(int fps, double seconds) {
    RunResult result;
    BenchCloud cloud;
    if (!cloud.Start(&result.error)) return result;
    auto notic = std::make_shared<LinkNotic>();
    auto hub = data_hub::IDataHub::Create();
    data_hub::QvVideoParam video;
    video.fps = fps;
    if (hub->Init(cloud.BaseUrl().c_str(), kUserId, kAccessKey, kSecretKey, kInstance, 0, notic, &video, nullptr) !=
        0) {
        result.error = "data hub Init failed";
        return result;
    }
    if (hub->Start() != 0) {
        result.error = "data hub Start failed";
    } else if (const int code = notic->WaitPlay(); code != 0) {
        result.error = "play result " + std::to_string(code);
    } else {
        StreamControl control{[&] { return hub->SendPlayControlReq(1, 1); },
                              [&] { return hub->SendPlayControlReq(0, 1); }};
        result = MeasureWindow(control, notic->frames, seconds);
    }
    hub->UnInit();
    return result;
}

}  // namespace handset_bench
