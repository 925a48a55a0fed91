// The machine's camera and microphone producers: listing, and the clear
// error where the device asked for is not there. (Test machines have no
// camera; SDL runs its dummy audio driver, whose default capture device
// delivers silence.)
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "capture/device_producers.h"

namespace {

using namespace capture;

class Counter : public ICaptureNotify {
public:
    void OnCaptureFrame(const CaptureFrame* frame) override {
        if (frame && frame->type == CAPTURE_TYPE_PCM && frame->samples == 960 && frame->length == 960 * 2 * 2) ++blocks;
    }
    std::atomic<int> blocks{0};
};

TEST(V4L2Camera, ListsCaptureDevicesOnly) {
    for (const CameraDevice& camera : ListCameras()) {
        EXPECT_EQ(camera.path.rfind("/dev/video", 0), 0u);
        EXPECT_FALSE(camera.types.empty());
        for (emCAPTURE_TYPE type : camera.types) EXPECT_TRUE(IsCameraType(type));
    }
}

TEST(V4L2Camera, AMissingCameraFailsWithAClearError) {
    auto receiver = std::make_shared<Counter>();
    CV4L2Camera::Options options;
    options.device = "/dev/video-that-is-not-there";
    CV4L2Camera missing(options);
    EXPECT_EQ(missing.Attach(receiver), -1);
    EXPECT_NE(missing.LastError().find("no camera"), std::string::npos) << missing.LastError();
    EXPECT_NE(missing.LastError().find("/dev/video-that-is-not-there"), std::string::npos);
    EXPECT_EQ(missing.AttachedCount(), 0);
    EXPECT_FALSE(missing.Running());

    options.device = "/dev/null";  // there, but no camera
    CV4L2Camera notACamera(options);
    EXPECT_EQ(notACamera.Attach(receiver), -1);
    EXPECT_NE(notACamera.LastError().find("not a video capture device"), std::string::npos) << notACamera.LastError();

    if (ListCameras().empty()) {
        CV4L2Camera first{CV4L2Camera::Options()};
        EXPECT_EQ(first.Attach(receiver), -1);
        EXPECT_NE(first.LastError().find("no camera"), std::string::npos) << first.LastError();
    }
}

TEST(SdlMicrophone, AMissingMicrophoneFailsWithAClearError) {
    for (const std::string& name : ListMicrophones()) EXPECT_FALSE(name.empty());
    auto receiver = std::make_shared<Counter>();
    CSdlMicrophone::Options options;
    options.device = "no such microphone";
    CSdlMicrophone missing(options);
    EXPECT_EQ(missing.Attach(receiver), -1);
    EXPECT_NE(missing.LastError().find("no microphone"), std::string::npos) << missing.LastError();
    EXPECT_NE(missing.LastError().find("no such microphone"), std::string::npos);
    EXPECT_FALSE(missing.Running());
}

TEST(SdlMicrophone, TheDefaultDeviceDeliversBlocksOf20Ms) {
    auto receiver = std::make_shared<Counter>();
    CSdlMicrophone mic{CSdlMicrophone::Options()};
    if (mic.Attach(receiver) != 0) GTEST_SKIP() << "no default capture device: " << mic.LastError();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (receiver->blocks < 5 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_GE(receiver->blocks, 5);
    mic.Detach(receiver.get());
    EXPECT_FALSE(mic.Running());
}

}  // namespace
