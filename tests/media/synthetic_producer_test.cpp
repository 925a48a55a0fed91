// The synthetic camera and microphone: what their frames hold, and the life
// cycle every threaded producer shares (the loop runs while somebody is
// attached, stops with the last detach, also from inside a delivery).
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "capture/synthetic_producers.h"
#include "codec/codec_interface.h"

namespace {

using namespace capture;
using namespace codec_interface;

bool WaitFor(const std::function<bool()>& pred, int timeoutMs = 15000) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!pred()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

class Collector : public ICaptureNotify {
public:
    void OnCaptureFrame(const CaptureFrame* frame) override {
        std::lock_guard<std::mutex> lock(mutex);
        frames.push_back(*frame);
        data.emplace_back(frame->data, frame->data + frame->length);
        if (detachFrom) detachFrom->Detach(this);
    }
    size_t Count() {
        std::lock_guard<std::mutex> lock(mutex);
        return frames.size();
    }
    std::mutex mutex;
    std::vector<CaptureFrame> frames;
    std::vector<std::vector<uint8_t>> data;
    ICaptureSource* detachFrom = nullptr;
};

// The colour at (x, y) of an I420 picture as RGB.
void RgbAt(const std::vector<uint8_t>& i420, int width, int height, int x, int y, uint8_t rgb[3]) {
    CVideoDecodeOutParam picture;
    ASSERT_EQ(ICodecInterface::ImageWrapBuffer(i420.data(), static_cast<int>(i420.size()), PIXEL_FORMAT_I420, width,
                                               height, picture),
              0);
    std::vector<uint8_t> out(static_cast<size_t>(width) * height * 3);
    ASSERT_GT(ICodecInterface::ImageCopyToBuffer(out.data(), static_cast<int>(out.size()), PIXEL_FORMAT_RGB24, picture),
              0);
    std::memcpy(rgb, &out[(static_cast<size_t>(y) * width + x) * 3], 3);
}

TEST(TestPicture, QuadrantsHoldTheirColoursAndTheBandMoves) {
    std::vector<uint8_t> first, later;
    TestPicture::RenderI420(640, 480, 0, 0, first);
    ASSERT_EQ(first.size(), 640u * 480 * 3 / 2);
    const int probes[4][2] = {{160, 120}, {480, 120}, {160, 360}, {480, 360}};
    for (int q = 0; q < 4; ++q) {
        uint8_t rgb[3];
        RgbAt(first, 640, 480, probes[q][0], probes[q][1], rgb);
        for (int c = 0; c < 3; ++c) EXPECT_NEAR(rgb[c], TestPicture::kQuadrantRgb[q][c], 6) << "quadrant " << q;
    }
    TestPicture::RenderI420(640, 480, 20, 1000, later);
    EXPECT_NE(first, later);
    // Only the band across the middle changes.
    EXPECT_TRUE(std::equal(first.begin(), first.begin() + 640 * 200, later.begin()));
}

TEST(SyntheticCamera, DeliversEveryFormatAtItsSize) {
    struct Case {
        emCAPTURE_TYPE type;
        int bytes;  // per frame for raw formats, 0 for compressed
    };
    const Case cases[] = {{CAPTURE_TYPE_I420, 320 * 240 * 3 / 2},
                          {CAPTURE_TYPE_NV12, 320 * 240 * 3 / 2},
                          {CAPTURE_TYPE_YUY2, 320 * 240 * 2},
                          {CAPTURE_TYPE_H264, 0}};
    for (const Case& c : cases) {
        CSyntheticCamera::Options options;
        options.type = c.type;
        options.width = 320;
        options.height = 240;
        auto camera = std::make_shared<CSyntheticCamera>(options);
        EXPECT_EQ(camera->GetCaptureType(), c.type);
        auto collector = std::make_shared<Collector>();
        ASSERT_EQ(camera->Attach(collector), 0) << camera->LastError();
        ASSERT_TRUE(WaitFor([&] { return collector->Count() >= 3; }));
        camera->Detach(collector.get());
        std::lock_guard<std::mutex> lock(collector->mutex);
        const CaptureFrame& f = collector->frames[0];
        EXPECT_EQ(f.type, c.type);
        EXPECT_EQ(f.width, 320);
        EXPECT_EQ(f.height, 240);
        if (c.bytes > 0) {
            EXPECT_EQ(f.length, c.bytes);
        } else {
            // An access unit the H.264 decoder turns into the picture.
            auto decoder = ICodecInterface::Create(CODEC_VIDEO_DECODE_H264);
            ASSERT_EQ(decoder->Init(CVideoDecodeParam{320, 240, 30, 0}), 0);
            CVideoDecodeOutParam out;
            EXPECT_EQ(decoder->Decode(collector->data[0].data(), static_cast<int>(collector->data[0].size()), out), 1);
            EXPECT_EQ(out.width, 320);
            EXPECT_EQ(out.height, 240);
        }
    }
}

TEST(SyntheticCamera, RefusesWhatItCannotDeliver) {
    CSyntheticCamera::Options options;
    options.type = CAPTURE_TYPE_MJPEG;
    CSyntheticCamera mjpeg(options);
    auto collector = std::make_shared<Collector>();
    EXPECT_EQ(mjpeg.Attach(collector), -1);
    EXPECT_FALSE(mjpeg.LastError().empty());
    EXPECT_EQ(mjpeg.AttachedCount(), 0);
    options.type = CAPTURE_TYPE_I420;
    options.width = 0;
    CSyntheticCamera empty(options);
    EXPECT_EQ(empty.Attach(collector), -1);
    EXPECT_FALSE(empty.Running());
}

TEST(ThreadedProducer, RunsWhileAttachedAndStopsWithTheLastDetach) {
    CSyntheticCamera::Options options;
    options.width = 64;
    options.height = 64;
    options.fps = 100;
    CSyntheticCamera camera(options);
    auto a = std::make_shared<Collector>();
    auto b = std::make_shared<Collector>();
    ASSERT_EQ(camera.Attach(a), 0);
    ASSERT_EQ(camera.Attach(b), 0);
    EXPECT_TRUE(camera.Running());
    ASSERT_TRUE(WaitFor([&] { return b->Count() >= 2; }));
    camera.Detach(a.get());
    EXPECT_TRUE(camera.Running());
    camera.Detach(b.get());
    EXPECT_FALSE(camera.Running());
    const size_t seen = b->Count();
    // Attached again, the loop starts again.
    ASSERT_EQ(camera.Attach(b), 0);
    ASSERT_TRUE(WaitFor([&] { return b->Count() >= seen + 2; }));
    camera.Detach(b.get());
    EXPECT_FALSE(camera.Running());
}

TEST(ThreadedProducer, EndsWhenItsOnlyReceiverDetachesInsideADelivery) {
    CSyntheticCamera::Options options;
    options.width = 64;
    options.height = 64;
    options.fps = 100;
    CSyntheticCamera camera(options);
    auto collector = std::make_shared<Collector>();
    collector->detachFrom = &camera;
    ASSERT_EQ(camera.Attach(collector), 0);
    ASSERT_TRUE(WaitFor([&] { return !camera.Running(); }));
    EXPECT_EQ(collector->Count(), 1u);
    // And a receiver that simply goes away ends the loop too.
    auto gone = std::make_shared<Collector>();
    ASSERT_EQ(camera.Attach(gone), 0);
    ASSERT_TRUE(WaitFor([&] { return gone->Count() >= 1; }));
    gone.reset();
    ASSERT_TRUE(WaitFor([&] { return !camera.Running(); }));
}

TEST(ThreadedProducer, AttachAndDetachFromManyThreads) {
    CSyntheticCamera::Options options;
    options.width = 32;
    options.height = 32;
    options.fps = 120;
    CSyntheticCamera camera(options);
    std::vector<std::thread> threads;
    std::atomic<int> failures{0};
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 30; ++i) {
                auto c = std::make_shared<Collector>();
                if (camera.Attach(c) != 0) ++failures;
                if (i % 3 == 0) std::this_thread::yield();
                camera.Detach(c.get());
            }
        });
    }
    for (auto& t : threads) t.join();
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(camera.AttachedCount(), 0);
    EXPECT_FALSE(camera.Running());
}

TEST(SyntheticMicrophone, BlocksCarryTheToneAtItsFrequency) {
    struct Case {
        emCAPTURE_TYPE type;
        int rate, channels, format, blockSamples;
    };
    const Case cases[] = {{CAPTURE_TYPE_PCM, 48000, 2, 1, 960},
                          {CAPTURE_TYPE_PCM_1024, 44100, 1, 2, 1024},
                          {CAPTURE_TYPE_PCM, 16000, 1, 1, 320}};
    for (const Case& c : cases) {
        CSyntheticMicrophone::Options options;
        options.type = c.type;
        options.sampleRate = c.rate;
        options.channels = c.channels;
        options.sampleFormat = c.format;
        options.frequency = 700;
        auto mic = std::make_shared<CSyntheticMicrophone>(options);
        EXPECT_EQ(mic->BlockSamples(), c.blockSamples);
        auto collector = std::make_shared<Collector>();
        ASSERT_EQ(mic->Attach(collector), 0);
        ASSERT_TRUE(WaitFor([&] { return collector->Count() >= 10; }));
        mic->Detach(collector.get());
        std::lock_guard<std::mutex> lock(collector->mutex);
        std::vector<double> first;
        for (size_t i = 0; i < collector->frames.size(); ++i) {
            const CaptureFrame& f = collector->frames[i];
            EXPECT_EQ(f.samples, c.blockSamples);
            EXPECT_EQ(f.sampleRate, c.rate);
            EXPECT_EQ(f.length, c.blockSamples * c.channels * (c.format == 1 ? 2 : 4));
            const uint8_t* p = collector->data[i].data();
            for (int s = 0; s < f.samples; ++s) {
                const uint8_t* sample = p + static_cast<size_t>(s) * c.channels * (c.format == 1 ? 2 : 4);
                if (c.format == 1) {
                    int16_t v;
                    std::memcpy(&v, sample, 2);
                    first.push_back(v / 32768.0);
                } else {
                    float v;
                    std::memcpy(&v, sample, 4);
                    first.push_back(v);
                }
            }
        }
        int crossings = 0;
        for (size_t i = 1; i < first.size(); ++i) crossings += (first[i - 1] < 0) != (first[i] < 0);
        const double seconds = static_cast<double>(first.size()) / c.rate;
        EXPECT_NEAR(crossings / 2.0 / seconds, 700, 10);
    }
}

}  // namespace
