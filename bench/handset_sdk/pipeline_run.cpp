#include "pipeline_run.h"

#include <atomic>
#include <mutex>

#include "base/base_log.h"
#include "bench_cloud.h"
#include "common/qv_log.h"
#include "handset_sdk/handset_sdk.h"
#include "measure_window.h"
#include "play_waiter.h"
#include "present_stamps.h"
#include "process_usage.h"

namespace handset_bench {

namespace {

constexpr int kWidth = 720;
constexpr int kHeight = 1280;

class PipelineNotic : public handset_sdk::IQVPhoneNotic {
public:
    void OnStatus(int code, const char* msg) override {}
    void OnSessionError(int code, const char* msg) override {}
    void OnPlayRes(int code, const char* msg, int videoCodec, int bitrate, int fps, int width, int height,
                   int audioCodec, int sampleRate, int channels) override {
        play.Played(code);
    }
    void OnOutScreen(int width, int height, int bitrate, int fps, int rotation) override {}
    void OnVideoFrame(const uint8_t* data, int size, int width, int height) override { frames.Mark(); }

    StampLog frames;
    PlayWaiter play;
};

// The player names its path in one line, logged on the thread that presents.
class PathLine {
public:
    PathLine() {
        base::SetLogCapture([this](int, const std::string& line) {
            if (line.find("[VIDEO_PLAYER]present path[") == std::string::npos) return;
            std::lock_guard<std::mutex> lock(m_mutex);
            m_line = line;
            m_tid = static_cast<pid_t>(base::GetTid());
        });
    }
    ~PathLine() { base::SetLogCapture(nullptr); }
    std::string Line() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_line;
    }
    pid_t Tid() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_tid;
    }

private:
    std::mutex m_mutex;
    std::string m_line;
    pid_t m_tid = 0;
};

RunResult Failed(const std::string& error) {
    RunResult result;
    result.error = error;
    return result;
}

}  // namespace

RunResult RunPipeline(bool show, int fps, double seconds, xvfb_peer::XcbWindows* windows, pid_t xvfbPid,
                      const std::string& display) {
    BenchCloud cloud;
    std::string error;
    if (!cloud.Start(&error)) return Failed("cloud: " + error);
    uint32_t window = 0;
    if (show && (windows == nullptr || (window = windows->CreateWindow(kWidth, kHeight, false)) == 0)) return Failed("no X window");
    PresentWatch presented;
    if (show && !presented.Start(display, window, &error)) return Failed(error);
    PathLine path;

    auto notic = std::make_shared<PipelineNotic>();
    auto sdk = handset_sdk::IHandsetSdk::CreateQVPhone();
    handset_sdk::QvDataParam data;
    common::CopyText(data.baseUrl, cloud.BaseUrl().c_str());
    common::CopyText(data.userId, kUserId);
    common::CopyText(data.accessKey, kAccessKey);
    common::CopyText(data.secretKey, kSecretKey);
    common::CopyText(data.instanceNo, kInstance);
    handset_sdk::QvPhoneParam video;
    video.width = kWidth;
    video.height = kHeight;
    video.fps = static_cast<uint16_t>(fps);
    handset_sdk::QVOutParam out;
    out.showMode = show ? 1 : 0;
    out.decodeMode = 2;  // software
    if (sdk->Init(notic, &data, &video, nullptr, &out) != 0) return Failed("Init failed");
    RunResult result;
    if (sdk->Start() != 0) {
        result.error = "Start failed";
    } else if (const int code = notic->play.Wait(); code != 0) {
        result.error = "play result " + std::to_string(code);
    } else {
        handset_sdk::RECT rect{0, 0, kWidth, kHeight};
        const int started = show ? sdk->StartShow(window, &rect, 0) : sdk->StartOut();
        if (started != 0) {
            result.error = show ? "StartShow failed" : "StartOut failed";
        } else {
            // Audio stays out of the pipeline: the figures are the video path's.
            StreamControl control{[&] { return sdk->SetPlayControl(1, 0); }, [&] { return sdk->SetPlayControl(0, 0); }};
            // The decode thread by its name; in show mode the pictures are
            // converted and put on the present thread, measured beside it.
            result = MeasureWindow(control, show ? PresentedPictures() : notic->frames, seconds, show ? xvfbPid : 0,
                                   [] { return ThreadNamed("qv_decode"); },
                                   [&] { return show ? path.Tid() : 0; });
            result.presentPath = path.Line();
        }
    }
    sdk->Uninit();
    return result;
}

}  // namespace handset_bench
