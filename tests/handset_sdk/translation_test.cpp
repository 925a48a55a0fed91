// The pure parts of the SDK: key table, touch conversion, key-frame detection
// and the frame queue's bound while nothing drains it.
#include <gtest/gtest.h>

#include "frame_queue.h"
#include "handset_sdk/handset_sdk.h"
#include "nal_units.h"
#include "touch_conversion.h"

using namespace handset_sdk;

TEST(KeyTable, MapsWindowsKeysToLinuxCodes) {
    EXPECT_EQ(IHandsetSdk::GetAndroidKeyCodeWithWinKey(0x41), 30);  // A
    EXPECT_EQ(IHandsetSdk::GetAndroidKeyCodeWithWinKey(0x5A), 44);  // Z
    EXPECT_EQ(IHandsetSdk::GetAndroidKeyCodeWithWinKey(0x51), 16);  // Q
    EXPECT_EQ(IHandsetSdk::GetAndroidKeyCodeWithWinKey(0x30), 11);  // 0
    EXPECT_EQ(IHandsetSdk::GetAndroidKeyCodeWithWinKey(0x31), 2);   // 1
    EXPECT_EQ(IHandsetSdk::GetAndroidKeyCodeWithWinKey(0x39), 10);  // 9
    EXPECT_EQ(IHandsetSdk::GetAndroidKeyCodeWithWinKey(0x60), 11);  // keypad 0
    EXPECT_EQ(IHandsetSdk::GetAndroidKeyCodeWithWinKey(0x65), 6);   // keypad 5
    EXPECT_EQ(IHandsetSdk::GetAndroidKeyCodeWithWinKey(0x6E), 52);
    EXPECT_EQ(IHandsetSdk::GetAndroidKeyCodeWithWinKey(0x10), 42);
    EXPECT_EQ(IHandsetSdk::GetAndroidKeyCodeWithWinKey(0x11), 29);
    EXPECT_EQ(IHandsetSdk::GetAndroidKeyCodeWithWinKey(0x12), 56);
    EXPECT_EQ(IHandsetSdk::GetAndroidKeyCodeWithWinKey(0x0D), 28);
    EXPECT_EQ(IHandsetSdk::GetAndroidKeyCodeWithWinKey(0xBF), 53);
    EXPECT_EQ(IHandsetSdk::GetAndroidKeyCodeWithWinKey(0xC0), 41);
    EXPECT_EQ(IHandsetSdk::GetAndroidKeyCodeWithWinKey(0x2E), 111);
    EXPECT_EQ(IHandsetSdk::GetAndroidKeyCodeWithWinKey(0x24), 102);
    EXPECT_EQ(IHandsetSdk::GetAndroidKeyCodeWithWinKey(0x70), 59);  // F1
    EXPECT_EQ(IHandsetSdk::GetAndroidKeyCodeWithWinKey(0x79), 68);  // F10
    EXPECT_EQ(IHandsetSdk::GetAndroidKeyCodeWithWinKey(0x7A), 0xF0) << "F11 has no entry";
    EXPECT_EQ(IHandsetSdk::GetAndroidKeyCodeWithWinKey(0x6A), 0xF0) << "keypad multiply has no entry";
    EXPECT_EQ(IHandsetSdk::GetAndroidKeyCodeWithWinKey(0xFF), 0xF0);
}

TEST(MicCapture, SampleCountIsTwentyMillisecondsOr1024) {
    EXPECT_EQ(IHandsetSdk::GetMicCaptureSampleCount(capture::CAPTURE_TYPE_PCM_1024, 48000), 1024);
    EXPECT_EQ(IHandsetSdk::GetMicCaptureSampleCount(capture::CAPTURE_TYPE_PCM_1024, 8000), 1024);
    EXPECT_EQ(IHandsetSdk::GetMicCaptureSampleCount(capture::CAPTURE_TYPE_PCM, 48000), 960);
    EXPECT_EQ(IHandsetSdk::GetMicCaptureSampleCount(capture::CAPTURE_TYPE_PCM_LOOPBACK, 44100), 882);
}

TEST(StatusText, NamesEveryPipelineCode) {
    EXPECT_STREQ(HandsetStatusText(0), "success");
    EXPECT_STREQ(HandsetStatusText(60703001), "Video decode init failed");
    EXPECT_STREQ(HandsetStatusText(60703002), "Video format do not support");
    EXPECT_STREQ(HandsetStatusText(60704001), "Start Video play failed");
    EXPECT_STREQ(HandsetStatusText(60705001), "Audio format do not support");
    EXPECT_STREQ(HandsetStatusText(60705002), "Audio decode init failed");
    EXPECT_STREQ(HandsetStatusText(60706001), "Start Audio Play failed");
    EXPECT_STREQ(HandsetStatusText(1), "");
}

namespace {

DisplayArea Area(int left, int top, int right, int bottom, int mode) {
    DisplayArea a;
    a.rect = {left, top, right, bottom};
    a.mode = mode;
    a.videoWidth = 720;
    a.videoHeight = 1280;
    return a;
}

TouchPoint One(uint32_t action, int x, int y, const DisplayArea& a) {
    auto points = ConvertWindowPoints(action, &x, &y, 1, a);
    EXPECT_EQ(points.size(), 1u);
    return points.empty() ? TouchPoint{-100, -100} : points[0];
}

}  // namespace

TEST(TouchConversion, ScalesAndTurnsIntoThePhoneScreen) {
    TouchPoint p = One(kTouchDown, 180, 320, Area(0, 0, 360, 640, 0));
    EXPECT_EQ(p.x, 360);
    EXPECT_EQ(p.y, 640);
    p = One(kTouchDown, 180, 320, Area(0, 0, 360, 640, 2));
    EXPECT_EQ(p.x, 360);
    EXPECT_EQ(p.y, 640);
    p = One(kTouchDown, 90, 160, Area(0, 0, 360, 640, 2));
    EXPECT_EQ(p.x, 540);
    EXPECT_EQ(p.y, 960);
    // Offset rectangle (the device view's 40-pixel title bar).
    p = One(kTouchMove, 90, 200, Area(0, 40, 360, 680, 0));
    EXPECT_EQ(p.x, 180);
    EXPECT_EQ(p.y, 320);
    // Quarter turns: px = 180, py = 320 in video coordinates.
    p = One(kTouchDown, 90, 160, Area(0, 0, 360, 640, 1));
    EXPECT_EQ(p.x, 720 - 720 * 320 / 1280);
    EXPECT_EQ(p.y, 1280 * 180 / 720);
    p = One(kTouchDown, 90, 160, Area(0, 0, 360, 640, 3));
    EXPECT_EQ(p.x, 720 * 320 / 1280);
    EXPECT_EQ(p.y, 1280 - 1280 * 180 / 720);
    // The edges belong to the rectangle.
    p = One(kTouchDown, 360, 640, Area(0, 0, 360, 640, 0));
    EXPECT_EQ(p.x, 720);
    EXPECT_EQ(p.y, 1280);
}

TEST(TouchConversion, DropsOutsidePointsAndReleasesEverywhere) {
    const DisplayArea a = Area(10, 10, 370, 650, 0);
    int xs[] = {5, 190, 400};
    int ys[] = {100, 330, 100};
    auto down = ConvertWindowPoints(kTouchDown, xs, ys, 3, a);
    ASSERT_EQ(down.size(), 1u);
    EXPECT_EQ(down[0].x, 360);
    EXPECT_EQ(down[0].y, 640);
    auto up = ConvertWindowPoints(kTouchUp, xs, ys, 3, a);
    ASSERT_EQ(up.size(), 3u) << "an up outside the rectangle still ends the touch";
    for (auto& p : up) {
        EXPECT_EQ(p.x, -1);
        EXPECT_EQ(p.y, -1);
    }
    auto raw = PassPhonePoints(kTouchMove, xs, ys, 3);
    ASSERT_EQ(raw.size(), 3u);
    EXPECT_EQ(raw[2].x, 400);
    EXPECT_EQ(PassPhonePoints(kTouchUp, xs, ys, 1)[0].x, -1);
}

TEST(TouchConversion, RectangleWithoutAreaKeepsOnlyReleases) {
    int x = 0, y = 0;
    EXPECT_TRUE(ConvertWindowPoints(kTouchDown, &x, &y, 1, Area(0, 0, 0, 640, 0)).empty());
    EXPECT_TRUE(ConvertWindowPoints(kTouchMove, &x, &y, 1, Area(0, 0, 360, 0, 1)).empty());
    EXPECT_TRUE(ConvertWindowPoints(kTouchDown, &x, &y, 1, Area(10, 10, 5, 5, 0)).empty());
    EXPECT_EQ(ConvertWindowPoints(kTouchUp, &x, &y, 1, Area(0, 0, 0, 0, 0)).size(), 1u);
    DisplayArea noVideo = Area(0, 0, 360, 640, 1);
    noVideo.videoHeight = 0;
    EXPECT_TRUE(ConvertWindowPoints(kTouchDown, &x, &y, 1, noVideo).empty());
}

namespace {

const std::vector<uint8_t> kIdr = {0, 0, 0, 1, 0x67, 0x42, 0, 0, 0, 1, 0x68, 0xCE, 0, 0, 1, 0x65, 0x88};
const std::vector<uint8_t> kSlice = {0, 0, 0, 1, 0x41, 0x9A, 0x02};

BuffPtr Video(bool key, uint8_t tag = 0) {
    auto b = std::make_shared<Buff>();
    b->type = kBuffVideo;
    b->data = key ? kIdr : kSlice;
    b->data.push_back(tag);
    b->keyFrame = key;
    return b;
}

BuffPtr Audio() {
    auto b = std::make_shared<Buff>();
    b->type = kBuffAudio;
    b->data = {1, 2, 3};
    return b;
}

}  // namespace

TEST(KeyFrames, FoundByTheirNalUnits) {
    EXPECT_TRUE(IsKeyFrame(kIdr.data(), kIdr.size(), 264));
    EXPECT_FALSE(IsKeyFrame(kSlice.data(), kSlice.size(), 264));
    const std::vector<uint8_t> hevcIdr = {0, 0, 1, 0x26, 0x01, 0xAF};  // type 19
    const std::vector<uint8_t> hevcTrail = {0, 0, 1, 0x02, 0x01, 0xD0};  // type 1
    EXPECT_TRUE(IsKeyFrame(hevcIdr.data(), hevcIdr.size(), 265));
    EXPECT_FALSE(IsKeyFrame(hevcTrail.data(), hevcTrail.size(), 265));
    EXPECT_FALSE(IsKeyFrame(kIdr.data(), 4, 264)) << "a start code without its header byte";
    EXPECT_FALSE(IsKeyFrame(nullptr, 10, 264));
}

TEST(FrameQueue, WithoutConsumerKeepsOnlyFromTheLatestKeyFrame) {
    FrameQueue q;
    q.Push(Video(false));
    q.Push(Audio());
    EXPECT_EQ(q.Size(), 0u) << "nothing before the first key frame";
    q.Push(Video(true, 1));
    q.Push(Video(false));
    q.Push(Audio());
    EXPECT_EQ(q.Size(), 3u);
    for (int i = 0; i < 100; ++i) q.Push(Video(false));
    q.Push(Video(true, 2));
    q.Push(Audio());
    auto batch = q.WaitAndTakeAll(std::chrono::milliseconds(0));
    ASSERT_EQ(batch.size(), 2u) << "a new key frame drops the group before it";
    EXPECT_EQ(batch[0]->data.back(), 2);
}

TEST(FrameQueue, WithConsumerKeepsEverythingInOrder) {
    FrameQueue q;
    q.SetConsumerRunning(true);
    q.Push(Video(false, 1));
    q.Push(Audio());
    q.Push(Video(true, 2));
    q.Push(Video(false, 3));
    auto batch = q.WaitAndTakeAll(std::chrono::milliseconds(0));
    ASSERT_EQ(batch.size(), 4u);
    // Frames put back go ahead of newer ones.
    q.Push(Video(false, 9));
    batch.pop_front();
    batch.pop_front();
    q.PushFront(batch);
    auto again = q.WaitAndTakeAll(std::chrono::milliseconds(0));
    ASSERT_EQ(again.size(), 3u);
    EXPECT_EQ(again[0]->data.back(), 2);
    EXPECT_EQ(again[1]->data.back(), 3);
    EXPECT_EQ(again[2]->data.back(), 9);
    // When the consumer stops, what it left is cut back to the latest key frame.
    q.Push(Video(false, 4));
    q.Push(Video(true, 5));
    q.Push(Video(false, 6));
    q.SetConsumerRunning(false);
    auto left = q.WaitAndTakeAll(std::chrono::milliseconds(0));
    ASSERT_EQ(left.size(), 2u);
    EXPECT_EQ(left[0]->data.back(), 5);
}
