// Parameter checks of the hub's Init.
#include <gtest/gtest.h>

#include "base/base_log.h"
#include "hub_recorder.h"

using namespace data_hub;

namespace {

class HubParams : public ::testing::Test {
protected:
    // Init against an address nothing listens on: the checks decide before any call goes out.
    int Init(const QvVideoParam* video, const QvDataSystemParam* system) {
        int rc = hub->Init("http://127.0.0.1:9", "user", "ak", "sk", "CP-1", 0, notic, video, system);
        if (rc == 0) hub->UnInit();
        return rc;
    }
    void SetUp() override {
        chdir(::testing::TempDir().c_str());
        base::SetLogCapture([this](int, const std::string& line) {
            std::lock_guard<std::mutex> lock(mutex);
            lines.push_back(line);
        });
    }
    void TearDown() override { base::SetLogCapture(nullptr); }
    bool Logged(const std::string& text) {
        std::lock_guard<std::mutex> lock(mutex);
        for (auto& l : lines)
            if (l.find(text) != std::string::npos) return true;
        return false;
    }
    std::shared_ptr<IDataHub> hub = IDataHub::Create();
    std::shared_ptr<hub_test::HubRecorder> notic = std::make_shared<hub_test::HubRecorder>();
    std::mutex mutex;
    std::vector<std::string> lines;
};

}  // namespace

TEST_F(HubParams, VideoBoundsAndFormats) {
    QvVideoParam video;
    video.width = 100;
    video.height = 4096;
    video.fps = 60;
    EXPECT_EQ(Init(&video, nullptr), 0);
    video.width = 99;
    EXPECT_EQ(Init(&video, nullptr), -1);
    EXPECT_TRUE(Logged("[DATA_HUB]video param is illegal"));
    video.width = 720;
    video.height = 4097;
    EXPECT_EQ(Init(&video, nullptr), -1);
    video.height = 1280;
    video.fps = 61;
    EXPECT_EQ(Init(&video, nullptr), -1);
    video.fps = 30;
    video.format = 266;
    EXPECT_EQ(Init(&video, nullptr), -1);
    EXPECT_TRUE(Logged("[DATA_HUB]video format only support QV_VIDEO_FORMAT_H264/QV_VIDEO_FORMAT_H265"));
    video.format = QV_VIDEO_FORMAT_H265;
    EXPECT_EQ(Init(&video, nullptr), 0);
}

TEST_F(HubParams, SystemBounds) {
    QvVideoParam video;
    QvDataSystemParam system;
    EXPECT_EQ(Init(&video, &system), 0) << "the defaults pass";
    system.wsConnectTimeoutMs = 999;
    EXPECT_EQ(Init(&video, &system), -1);
    EXPECT_TRUE(Logged("[DATA_HUB]system param is illegal"));
    system.wsConnectTimeoutMs = 30000;
    system.httpConnectTimeoutMs = 30001;
    EXPECT_EQ(Init(&video, &system), -1);
    system.httpConnectTimeoutMs = 1000;
    system.httpTimeoutMs = 60001;
    EXPECT_EQ(Init(&video, &system), -1);
    system.httpTimeoutMs = 60000;
    system.reconnectIntervalMs = 0;
    EXPECT_EQ(Init(&video, &system), -1) << "checked while reconnect is on";
    system.reconnect = 0;
    EXPECT_EQ(Init(&video, &system), 0) << "not checked when reconnect is off";
}

TEST_F(HubParams, MissingArgumentsAndStateGuards) {
    QvVideoParam video;
    EXPECT_EQ(hub->Init("", "", "ak", "sk", "CP-1", 0, notic, &video, nullptr), -1);
    EXPECT_EQ(hub->Init("", "u", "ak", "sk", "", 0, notic, &video, nullptr), -1);
    EXPECT_EQ(hub->Init("", "u", "ak", "sk", "CP-1", 0, nullptr, &video, nullptr), -1);
    EXPECT_EQ(hub->Init("", "u", "ak", "sk", "CP-1", 0, notic, nullptr, nullptr), -1);
    EXPECT_EQ(hub->Start(), -1) << "Start before Init";
    EXPECT_EQ(hub->UnInit(), -1);
    ASSERT_EQ(hub->Init("http://127.0.0.1:9", "u", "ak", "sk", "CP-1", 0, notic, &video, nullptr), 0);
    EXPECT_EQ(hub->Init("http://127.0.0.1:9", "u", "ak", "sk", "CP-1", 0, notic, &video, nullptr), -1);
    uint32_t x = 1, y = 1;
    EXPECT_EQ(hub->SendInTouchReq(0, &x, &y, 1), -1) << "not started";
    EXPECT_EQ(hub->UnInit(), 0);
    EXPECT_EQ(StatusText(60702001), std::string("Http Req for phone-connect failed"));
}
