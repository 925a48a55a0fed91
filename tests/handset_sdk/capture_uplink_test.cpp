// The camera and microphone uplink end to end: the synthetic phone opens its
// Camera or Mic app, the SDK encodes what a synthetic producer captures, and
// the phone decodes it and shows it on the screen the client plays.
#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "capture/synthetic_producers.h"
#include "sdk_cloud_fixture.h"
#include "uplink_pictures.h"

namespace handset_test {
namespace {

using capture::CSyntheticCamera;
using capture::CSyntheticMicrophone;

// Centres of the home grid's Camera and Mic icons on the synthetic phone.
constexpr int kCameraIconPortrait[2] = {270, 336};
constexpr int kMicIconPortrait[2] = {450, 336};
constexpr int kCameraIconLandscape[2] = {319, 312};
// The app screen below the status bar and the caption, above the navigation bar.
constexpr int kAppTop = 112;
constexpr int kNavHeightPortrait = 96;

// 15 pictures a second are plenty here and keep loaded and sanitizer runs light.
CSyntheticCamera::Options CameraOptions(capture::emCAPTURE_TYPE type = capture::CAPTURE_TYPE_I420) {
    CSyntheticCamera::Options options;
    options.type = type;
    options.fps = 15;
    return options;
}

class CaptureUplinkTest : public SdkCloudTest {
protected:
    void StartPlaying() {
        Play(OutMode());
        ASSERT_EQ(sdk->StartOut(), 0);
        ASSERT_TRUE(WaitUntil([&] { return notic->Frames() > 0; })) << "no picture of the phone";
    }
    void Tap(const int (&point)[2]) {
        int x = point[0], y = point[1];
        ASSERT_EQ(sdk->SendTouch(0, &x, &y, 1), 0);
        ASSERT_EQ(sdk->SendTouch(1, &x, &y, 1), 0);
    }
    // The producer the application registers when the phone switches its camera on.
    void RegisterOnCameraSwitch(std::shared_ptr<capture::ICaptureSource> source) {
        std::weak_ptr<handset_sdk::IHandsetSdk> weak = sdk;
        notic->onCamera = [weak, source](bool on) {
            if (auto s = weak.lock(); s && on) s->SetCaptureSource(source, nullptr);
        };
    }
    void RegisterOnMicSwitch(std::shared_ptr<capture::ICaptureSource> source) {
        std::weak_ptr<handset_sdk::IHandsetSdk> weak = sdk;
        notic->onMic = [weak, source](bool on) {
            if (auto s = weak.lock(); s && on) s->SetCaptureSource(source, nullptr);
        };
    }
    cloudsim::UplinkView Uplink() {
        cloudsim::UplinkView view;
        cloud->Uplink(kInstance, view);
        return view;
    }
    bool WaitForFrames(int frames) {
        return WaitUntil([&] { return Uplink().cameraFrames >= frames; }, 30000);
    }
    // One key through the link and back into the record: everything the SDK
    // sent before it has arrived.
    void RoundTrip() {
        const size_t before = Received("key").size();
        ASSERT_EQ(sdk->SendKey(1, 0x41), 0);
        ASSERT_EQ(sdk->SendKey(0, 0x41), 0);
        ASSERT_TRUE(WaitUntil([&] { return Received("key").size() >= before + 2; }));
    }
    // The newest picture the phone decoded shows the test picture turned by transpose.
    void ExpectUplinkPicture(int transpose) {
        const cloudsim::UplinkView view = Uplink();
        ASSERT_FALSE(view.picture.empty());
        const auto rgb = [&](int x, int y, int& r, int& g, int& b) {
            const uint32_t p = view.picture[static_cast<size_t>(y) * view.pictureWidth + x];
            r = (p >> 16) & 0xFF;
            g = (p >> 8) & 0xFF;
            b = p & 0xFF;
        };
        for (double v : {0.25, 0.75}) {
            for (double u : {0.25, 0.75}) {
                EXPECT_EQ(QuadrantAt(view.pictureWidth, view.pictureHeight, u, v, rgb), SourceQuadrant(transpose, u, v))
                    << "at (" << u << ", " << v << ") of " << view.pictureWidth << "x" << view.pictureHeight;
            }
        }
    }
    bool AllSizes(int width, int height, size_t from = 0) {
        const cloudsim::UplinkView view = Uplink();
        for (size_t i = from; i < view.cameraSizes.size(); ++i) {
            if (view.cameraSizes[i] != std::make_pair(width, height)) return false;
        }
        return view.cameraSizes.size() > from;
    }
};

TEST_F(CaptureUplinkTest, CameraPicturesReachThePhoneTurnedUprightAndShowOnItsScreen) {
    // The design's second example: 640 x 480 source, the phone asks for 640 x 360 with its back camera at 0 degrees.
    auto camera = std::make_shared<CSyntheticCamera>(CameraOptions());
    RegisterOnCameraSwitch(camera);
    StartPlaying();
    Tap(kCameraIconPortrait);
    ASSERT_TRUE(WaitForFrames(10)) << "no camera pictures at the phone";
    EXPECT_EQ(notic->CameraSwitches().at(0), (std::vector<int>{0, 1, 640, 360}));
    EXPECT_TRUE(Logged("[HANDSET_SDK]camera back ; phone 0-180; AVFilterStr:crop=640:360:0:60,transpose=2"));
    EXPECT_TRUE(Logged("[HANDSET_SDK]FilterStr:crop=640:360:0:60,transpose=2"));

    const cloudsim::UplinkView view = Uplink();
    EXPECT_EQ(view.cameraParams, 1);
    EXPECT_EQ(view.cameraDataBeforeParams, 0);
    EXPECT_EQ(view.cameraFormat, 264);
    EXPECT_EQ(view.cameraParamWidth, 360);
    EXPECT_EQ(view.cameraParamHeight, 640);
    EXPECT_GT(view.cameraParamBlob, 8);  // SPS and PPS
    EXPECT_TRUE(AllSizes(360, 640));
    ExpectUplinkPicture(2);

    // Parameters went out before the first picture.
    uint64_t paramSeq = 0, dataSeq = 0;
    for (const auto& m : cloud->Received(kInstance)) {
        if (m.kind == "cameraParam" && paramSeq == 0) paramSeq = m.seq;
        if (m.kind == "cameraData" && dataSeq == 0) dataSeq = m.seq;
    }
    EXPECT_LT(paramSeq, dataSeq);

    // The phone shows the pictures in the video the client plays: the four
    // colours sit where the turned picture puts them.
    std::map<int, std::pair<double, double>> centre;
    ASSERT_TRUE(WaitUntil([&] {
        const Picture screen = notic->LastPicture();
        if (screen.width != 720 || screen.height != 1280) return false;
        std::map<int, std::vector<double>> sums;
        for (int y = kAppTop; y < screen.height - kNavHeightPortrait; y += 4) {
            for (int x = 0; x < screen.width; x += 4) {
                const uint8_t* p = &screen.data[(static_cast<size_t>(y) * screen.width + x) * 4];
                const int q = NearestQuadrant(p[2], p[1], p[0], 40);
                if (q < 0) continue;
                auto& s = sums[q];
                s.resize(3);
                s[0] += x;
                s[1] += y;
                s[2] += 1;
            }
        }
        if (sums.size() != 4) return false;
        for (auto& [q, s] : sums) {
            if (s[2] < 500) return false;
            centre[q] = {s[0] / s[2], s[1] / s[2]};
        }
        return true;
    }, 30000)) << "the camera picture is not on the phone's screen";
    const int topLeft = SourceQuadrant(2, 0.25, 0.25), topRight = SourceQuadrant(2, 0.75, 0.25);
    const int bottomLeft = SourceQuadrant(2, 0.25, 0.75), bottomRight = SourceQuadrant(2, 0.75, 0.75);
    EXPECT_LT(centre[topLeft].first, centre[topRight].first);
    EXPECT_LT(centre[topLeft].second, centre[bottomLeft].second);
    EXPECT_GT(centre[bottomRight].first, centre[bottomLeft].first);
    EXPECT_GT(centre[bottomRight].second, centre[topRight].second);
}

TEST_F(CaptureUplinkTest, SwitchingOffDetachesTheProducerAndStopsTheMessages) {
    auto camera = std::make_shared<CSyntheticCamera>(CameraOptions());
    RegisterOnCameraSwitch(camera);
    StartPlaying();
    Tap(kCameraIconPortrait);
    ASSERT_TRUE(WaitForFrames(3));
    ASSERT_TRUE(camera->Running());
    ASSERT_EQ(sdk->SendControlKey(1), 0);  // back: the phone leaves its Camera app
    ASSERT_TRUE(WaitUntil([&] { return camera->AttachedCount() == 0 && !camera->Running(); }))
        << "the producer is still attached";
    // Passed on to the application after the producer was detached.
    ASSERT_TRUE(WaitUntil([&] { return notic->CameraSwitches().size() == 2; }));
    EXPECT_EQ(notic->CameraSwitches()[1][1], 0);
    RoundTrip();
    const int packets = Uplink().cameraPackets;
    RoundTrip();
    EXPECT_EQ(Uplink().cameraPackets, packets);

    // On again: parameters first, then pictures again.
    Tap(kCameraIconPortrait);
    ASSERT_TRUE(WaitUntil([&] { return Uplink().cameraParams == 2 && Uplink().cameraFrames > 3 + 3; }, 30000));
    EXPECT_TRUE(camera->Running());
}

TEST_F(CaptureUplinkTest, TurningThePhoneChangesTheFilter) {
    auto camera = std::make_shared<CSyntheticCamera>(CameraOptions());
    RegisterOnCameraSwitch(camera);
    StartPlaying();
    Tap(kCameraIconPortrait);
    ASSERT_TRUE(WaitForFrames(3));
    ClearLog();
    ASSERT_EQ(sdk->SetRotation(1, 0), 0);
    // Landscape: the phone asks for 360 x 640 and the back camera turns with a flip.
    ASSERT_TRUE(WaitUntil([&] { return Logged("[HANDSET_SDK]FilterStr:crop=270:480:185:0,transpose=0"); }, 30000));
    EXPECT_TRUE(Logged("[HANDSET_SDK]camera back ; phone 90-270"));
    ASSERT_TRUE(WaitUntil([&] {
        const auto v = Uplink();
        return v.cameraParamWidth == 640 && v.cameraParamHeight == 360 && v.pictureWidth == 640 && v.cameraFrames > 6;
    }, 30000));
    ExpectUplinkPicture(0);
}

TEST_F(CaptureUplinkTest, BadFramesChangeNothing) {
    // A producer the test drives by hand.
    class ManualProducer : public capture::ICaptureSource {
    public:
        capture::emCAPTURE_TYPE GetCaptureType() const override { return capture::CAPTURE_TYPE_I420; }
        int Attach(std::weak_ptr<capture::ICaptureNotify> notify) override {
            std::lock_guard<std::mutex> lock(mutex);
            target = notify;
            return 0;
        }
        void Detach(const capture::ICaptureNotify*) override {
            std::lock_guard<std::mutex> lock(mutex);
            target.reset();
        }
        bool Attached() {
            std::lock_guard<std::mutex> lock(mutex);
            return !target.expired();
        }
        void Send(const capture::CaptureFrame* frame) {
            std::shared_ptr<capture::ICaptureNotify> t;
            {
                std::lock_guard<std::mutex> lock(mutex);
                t = target.lock();
            }
            if (t) t->OnCaptureFrame(frame);
        }
        std::mutex mutex;
        std::weak_ptr<capture::ICaptureNotify> target;
    };
    auto producer = std::make_shared<ManualProducer>();
    RegisterOnCameraSwitch(producer);
    StartPlaying();
    Tap(kCameraIconPortrait);
    ASSERT_TRUE(WaitUntil([&] { return producer->Attached(); }));

    std::vector<uint8_t> picture;
    int64_t number = 0;
    auto good = [&] {
        capture::TestPicture::RenderI420(640, 480, number++, 0, picture);
        capture::CaptureFrame frame;
        frame.type = capture::CAPTURE_TYPE_I420;
        frame.width = 640;
        frame.height = 480;
        frame.data = picture.data();
        frame.length = static_cast<int32_t>(picture.size());
        producer->Send(&frame);
    };
    for (int i = 0; i < 3; ++i) good();
    ASSERT_TRUE(WaitForFrames(3));

    std::vector<capture::CaptureFrame> bad(8);
    for (auto& f : bad) {
        f.type = capture::CAPTURE_TYPE_I420;
        f.width = 640;
        f.height = 480;
        f.data = picture.data();
        f.length = static_cast<int32_t>(picture.size());
    }
    bad[0].data = nullptr;
    bad[1].length = 0;
    bad[2].length = -5;
    bad[3].length = 1000;  // far less than 640 x 480 needs
    bad[4].width = 0;
    bad[5].width = 100000;
    bad[6].height = -480;
    bad[7].type = static_cast<capture::emCAPTURE_TYPE>(99);
    producer->Send(nullptr);
    for (const auto& f : bad) {
        producer->Send(&f);
        good();
    }
    EXPECT_TRUE(Logged("[HANDSET_SDK]unsupported CaptureType[99]"));
    ASSERT_TRUE(WaitForFrames(3 + 8));
    RoundTrip();
    const cloudsim::UplinkView view = Uplink();
    EXPECT_EQ(view.cameraParams, 1);
    EXPECT_EQ(view.cameraPackets, 3 + 8);
    EXPECT_TRUE(AllSizes(360, 640));
    ExpectUplinkPicture(2);
}

TEST_F(CaptureUplinkTest, SwitchesSourcesAndTeardownRaceWithFrames) {
    CSyntheticCamera::Options small;
    small.width = 160;
    small.height = 120;
    small.fps = 10;
    auto camera = std::make_shared<CSyntheticCamera>(small);
    auto other = std::make_shared<CSyntheticCamera>(small);
    auto mic = std::make_shared<CSyntheticMicrophone>();
    RegisterOnCameraSwitch(camera);
    RegisterOnMicSwitch(mic);
    StartPlaying();
    // The application swaps producers while frames flow and the phone switches.
    struct Swapper {
        std::atomic<bool> stop{false};
        std::thread thread;
        ~Swapper() {
            stop = true;
            if (thread.joinable()) thread.join();
        }
    } swapper;
    swapper.thread = std::thread([&] {
        while (!swapper.stop) {
            sdk->SetCaptureSource(other, nullptr);
            sdk->ResetCaptureSource(other);
            sdk->SetCaptureSource(camera, nullptr);
            // Every swap starts and stops a capture thread: paced, so the link keeps its time.
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    for (int round = 0; round < 3; ++round) {
        const int before = Uplink().cameraFrames;
        Tap(kCameraIconPortrait);
        ASSERT_TRUE(WaitUntil([&] { return Uplink().cameraFrames > before + 2; }, 30000));
        ASSERT_EQ(sdk->SendControlKey(1), 0);
        Tap(kMicIconPortrait);
        ASSERT_TRUE(WaitUntil([&] { return !notic->MicSwitches().empty() && notic->MicSwitches().back().first; }));
        ASSERT_EQ(sdk->SendControlKey(0), 0);
        ASSERT_TRUE(WaitUntil([&] { return !notic->MicSwitches().back().first; }));
    }
    Tap(kCameraIconPortrait);
    ASSERT_TRUE(WaitUntil([&] { return notic->CameraSwitches().back()[1] == 1; }));
    swapper.stop = true;
    swapper.thread.join();
    sdk->SetCaptureSource(camera, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return camera->Running(); }));
    // Tearing down while frames are delivered detaches every producer.
    EXPECT_EQ(sdk->Uninit(), 0);
    EXPECT_EQ(camera->AttachedCount(), 0);
    EXPECT_EQ(other->AttachedCount(), 0);
    EXPECT_EQ(mic->AttachedCount(), 0);
    EXPECT_FALSE(camera->Running());
}

// Raw formats other than I420 and compressed frames, which are decoded first.
class CaptureFormatTest : public CaptureUplinkTest, public ::testing::WithParamInterface<capture::emCAPTURE_TYPE> {};

TEST_P(CaptureFormatTest, EveryCameraFormatArrivesAsTheSamePicture) {
    auto camera = std::make_shared<CSyntheticCamera>(CameraOptions(GetParam()));
    RegisterOnCameraSwitch(camera);
    StartPlaying();
    Tap(kCameraIconPortrait);
    ASSERT_TRUE(WaitForFrames(5)) << "no pictures from capture type " << GetParam();
    EXPECT_EQ(Uplink().cameraParams, 1);
    EXPECT_TRUE(AllSizes(360, 640));
    ExpectUplinkPicture(2);
}

INSTANTIATE_TEST_SUITE_P(Formats, CaptureFormatTest,
                         ::testing::Values(capture::CAPTURE_TYPE_NV12, capture::CAPTURE_TYPE_YUY2,
                                           capture::CAPTURE_TYPE_H264));

// The design's first example: a 1280 x 720 source for a phone that asks for 720 x 1280.
class WideCameraTest : public CaptureUplinkTest {
protected:
    WideCameraTest() {
        uplinkRequest.cameraLongSide = 1280;
        uplinkRequest.cameraShortSide = 720;
    }
};

TEST_F(WideCameraTest, CropOfTheDesignsFirstExampleFitsTheSource) {
    CSyntheticCamera::Options options = CameraOptions();
    options.width = 1280;
    options.height = 720;
    options.fps = 10;
    auto camera = std::make_shared<CSyntheticCamera>(options);
    RegisterOnCameraSwitch(camera);
    StartPlaying();
    ASSERT_EQ(sdk->SetRotation(1, 0), 0);
    ASSERT_TRUE(WaitUntil([&] { return notic->LastPicture().width == 1280; })) << "the phone did not turn";
    Tap(kCameraIconLandscape);
    ASSERT_TRUE(WaitForFrames(5));
    EXPECT_EQ(notic->CameraSwitches().back(), (std::vector<int>{0, 1, 720, 1280}));
    EXPECT_TRUE(Logged("[HANDSET_SDK]FilterStr:crop=405:720:437:0,transpose=0"));
    EXPECT_TRUE(AllSizes(1280, 720));
    ExpectUplinkPicture(0);
}

class MicUplinkTest : public CaptureUplinkTest {};

TEST_F(MicUplinkTest, TheToneArrivesAtItsFrequency) {
    CSyntheticMicrophone::Options options;
    options.frequency = 1000;
    auto mic = std::make_shared<CSyntheticMicrophone>(options);
    RegisterOnMicSwitch(mic);
    StartPlaying();
    Tap(kMicIconPortrait);
    ASSERT_TRUE(WaitUntil([&] { return Uplink().micDecoded >= 40; }, 30000)) << "no sound at the phone";
    const cloudsim::UplinkView view = Uplink();
    EXPECT_EQ(view.micParams, 1);
    EXPECT_EQ(view.micDataBeforeParams, 0);
    EXPECT_EQ(view.micSampleRate, 48000);
    EXPECT_EQ(view.micChannels, 2);
    EXPECT_EQ(view.micSamples, 960);
    EXPECT_NEAR(view.micFrequencyHz, 1000, 25);
    EXPECT_NEAR(view.micLevelDb, 20 * std::log10(0.5 / std::sqrt(2.0)), 3);

    ASSERT_EQ(sdk->SendControlKey(0), 0);  // home: the recorder closes
    ASSERT_TRUE(WaitUntil([&] { return mic->AttachedCount() == 0 && !mic->Running(); }));
    RoundTrip();
    const int packets = Uplink().micPackets;
    RoundTrip();
    EXPECT_EQ(Uplink().micPackets, packets);
}

class SilentCountMicTest : public CaptureUplinkTest {
protected:
    SilentCountMicTest() { uplinkRequest.micSamples = 0; }
};

TEST_F(SilentCountMicTest, ASampleCountBelowOneMeans8000) {
    CSyntheticMicrophone::Options options;
    options.type = capture::CAPTURE_TYPE_PCM_1024;
    options.sampleRate = 44100;
    options.channels = 1;
    options.sampleFormat = 2;
    options.frequency = 440;
    auto mic = std::make_shared<CSyntheticMicrophone>(options);
    RegisterOnMicSwitch(mic);
    StartPlaying();
    Tap(kMicIconPortrait);
    ASSERT_TRUE(WaitUntil([&] { return Uplink().micDecoded >= 40; }, 30000));
    EXPECT_EQ(notic->MicSwitches().at(0), std::make_pair(true, 0));
    const cloudsim::UplinkView view = Uplink();
    EXPECT_EQ(view.micSamples, 8000);
    EXPECT_EQ(view.micChannels, 1);
    EXPECT_NEAR(view.micFrequencyHz, 440, 15);
}

}  // namespace
}  // namespace handset_test
