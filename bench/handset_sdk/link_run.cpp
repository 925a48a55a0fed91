#include "link_run.h"

#include "bench_cloud.h"
#include "data_hub/data_hub.h"
#include "measure_window.h"
#include "play_waiter.h"

namespace handset_bench {

namespace {

class LinkNotic : public data_hub::IDataHubNotic {
public:
    void OnPlayRes(int code, const char* msg, int videoCodec, int bitrate, int fps, int width, int height,
                   int audioCodec, int sampleRate, int channels) override {
        play.Played(code);
    }
    void OnVideoData(uint64_t first, uint64_t second, const uint8_t* data, uint32_t length) override {
        frames.Mark();
    }

    StampLog frames;
    PlayWaiter play;
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
    } else if (const int code = notic->play.Wait(); code != 0) {
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
