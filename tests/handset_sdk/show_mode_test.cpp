// Show mode: the SDK draws the phone into a real X window (a private Xvfb)
// and plays its sound (SDL's dummy audio driver).
#include <cstdlib>
#include <thread>

#include "sdk_cloud_fixture.h"
#include "xvfb_peer/xcb_windows.h"
#include "xvfb_peer/xvfb_server.h"

using namespace handset_sdk;
using namespace handset_test;

namespace {

bool IsRed(int64_t pixel) {
    if (pixel < 0) return false;
    const int r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
    return r > 200 && g < 70 && b < 70;
}

class ShowModeTest : public SdkCloudTest {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(server.Start(800, 800, &error)) << error;
        ASSERT_TRUE(x.Connect(server.Display(), &error)) << error;
        window = x.CreateWindow(400, 700);
        ASSERT_NE(window, 0u);
        SdkCloudTest::SetUp();
    }
    void TearDown() override {
        SdkCloudTest::TearDown();  // the player lets go of the window before the server goes
    }
    static QVOutParam ShowMode() {
        QVOutParam out;
        out.decodeMode = 2;
        return out;
    }

    xvfb_peer::XvfbServer server;
    xvfb_peer::XcbWindows x;  // closed before the server goes
    uint32_t window = 0;
};

// The GPU path, on Mesa's software rasteriser here. Its OpenGL context belongs
// to one thread, so it works only while the player is made and used on the
// same one.
class GpuShowModeTest : public ShowModeTest {
protected:
    void SetUp() override {
        setenv("TESSIVO_VIDEO_PRESENT", "gpu-any", 1);  // before any thread of the test starts
        ShowModeTest::SetUp();
    }
    void TearDown() override {
        ShowModeTest::TearDown();
        unsetenv("TESSIVO_VIDEO_PRESENT");
    }
};

}  // namespace

TEST_F(ShowModeTest, DrawsThePhoneIntoTheWindowAndPlaysItsSound) {
    Play(ShowMode());
    ASSERT_EQ(sdk->SetPlayControl(0, 1), 0);
    RECT rect{20, 30, 380, 670};  // half the phone's size
    ASSERT_EQ(sdk->StartShow(window, &rect, 0), 0);
    EXPECT_TRUE(Logged("[HANDSET_SDK]QV Phone StartShow succ"));
    // A window point inside the rectangle becomes the phone point it shows.
    int wx = 20 + 500 / 2, wy = 30 + 1000 / 2;
    ASSERT_EQ(sdk->SendTouch(0, &wx, &wy, 1), 0);
    ASSERT_TRUE(WaitUntil([&] { return TouchPoints(0).size() == 1; }));
    EXPECT_EQ(TouchPoints(0)[0], (std::vector<int>{500, 1000}));
    ASSERT_TRUE(WaitUntil([&] { return IsRed(x.Pixel(window, wx, wy)); }))
        << "the marker never appeared in the window; pixel " << std::hex << x.Pixel(window, wx, wy);
    EXPECT_EQ(x.Pixel(window, 5, 5), 0) << "outside the rectangle the window is black";
    EXPECT_FALSE(IsRed(x.Pixel(window, wx - 60, wy)));
    ASSERT_TRUE(WaitUntil([&] { return Logged("[HANDSET_SDK]Audio play begin [48000*2]"); })) << "no sound played";
    EXPECT_EQ(notic->CountStatus(QV_PHONE_AUDIO_PLAY_FAILED), 0);
    EXPECT_EQ(notic->Frames(), 0) << "show mode hands out no frames";

    // A second StartShow only moves the picture.
    RECT moved{0, 0, 360, 640};
    ASSERT_EQ(sdk->StartShow(window, &moved, 0), 0);
    EXPECT_FALSE(Logged("[HANDSET_SDK]decode thread have started"));
    ASSERT_TRUE(WaitUntil([&] { return IsRed(x.Pixel(window, 250, 500)); })) << "the picture did not move";

    // Upside down: the marker shows at the mirrored point, and touches are turned back.
    ASSERT_EQ(sdk->StartShow(window, &moved, 2), 0);
    ASSERT_TRUE(WaitUntil([&] { return IsRed(x.Pixel(window, 360 - 250, 640 - 500)); }));
    int tx = 360 - 250, ty = 640 - 500;
    ASSERT_EQ(sdk->SendTouch(1, &tx, &ty, 1), 0);
    ASSERT_EQ(sdk->SendTouch(0, &tx, &ty, 1), 0);
    ASSERT_TRUE(WaitUntil([&] { return TouchPoints(0).size() == 2; }));
    EXPECT_EQ(TouchPoints(0)[1], (std::vector<int>{500, 1000}));
}

TEST_F(ShowModeTest, RectangleWithoutAreaSendsNoTouch) {
    Play(ShowMode());
    // Without a window only the rectangle is stored; no decode thread starts.
    RECT flat{0, 40, 360, 40};
    ASSERT_EQ(sdk->StartShow(0, &flat, 0), 0);
    EXPECT_FALSE(Logged("[HANDSET_SDK]QV Phone StartShow succ"));
    int xs[] = {100, 0}, ys[] = {40, 40};
    EXPECT_EQ(sdk->SendTouch(0, xs, ys, 2), 0);
    EXPECT_EQ(sdk->SendTouch(2, xs, ys, 1), 0);
    int count = 2;
    sdk->ConvertPoint(0, xs, ys, &count);
    EXPECT_EQ(count, 0);
    // A real rectangle; the touch goes out once the rectangle has area.
    RECT rect{0, 40, 360, 680};
    ASSERT_EQ(sdk->StartShow(window, &rect, 0), 0);
    int x1 = 180, y1 = 360;
    ASSERT_EQ(sdk->SendTouch(0, &x1, &y1, 1), 0);
    int cx[] = {180, 500}, cy[] = {360, 100};
    count = 2;
    sdk->ConvertPoint(0, cx, cy, &count);
    ASSERT_EQ(count, 1) << "the point outside the rectangle is dropped";
    EXPECT_EQ(cx[0], 360);
    EXPECT_EQ(cy[0], 640);
    ASSERT_TRUE(WaitUntil([&] { return TouchPoints(0).size() == 1; }));
    EXPECT_EQ(TouchPoints(0)[0], (std::vector<int>{360, 640}));
    EXPECT_TRUE(TouchPoints(2).empty());
}

TEST_F(ShowModeTest, PlayerFailureEndsDecodingWithItsStatus) {
    Play(ShowMode());
    RECT rect{0, 0, 360, 640};
    ASSERT_EQ(sdk->StartShow(0x7FFFFF0, &rect, 0), 0);  // no such window on the server
    ASSERT_TRUE(WaitUntil([&] { return notic->CountStatus(QV_PHONE_VIDEO_PLAY_FAILED) == 1; }));
    EXPECT_TRUE(Logged("[HANDSET_SDK]Video start play failed"));
    // The thread that reports the failure has ended: nothing can report it again.
    ASSERT_TRUE(WaitUntil([&] { return Logged("[HANDSET_SDK]DecodeThread Stop"); })) << "the thread went on";
    EXPECT_EQ(notic->CountStatus(QV_PHONE_VIDEO_PLAY_FAILED), 1) << "no retry before the thread ended";
    EXPECT_EQ(sdk->StartShow(window, &rect, 0), 0) << "later calls only change the rectangle";
    EXPECT_EQ(sdk->Uninit(), 0);
}

TEST_F(GpuShowModeTest, GpuPathDrawsTheTurnedPhone) {
    Play(ShowMode());
    RECT rect{0, 0, 360, 640};
    ASSERT_EQ(sdk->StartShow(window, &rect, 2), 0);
    // The phone marks the point touched: phone point (500, 1000), upside down.
    int tx = 360 - 250, ty = 640 - 500;
    ASSERT_EQ(sdk->SendTouch(0, &tx, &ty, 1), 0);
    ASSERT_TRUE(WaitUntil([&] { return IsRed(x.Pixel(window, 360 - 250, 640 - 500)); }))
        << "the upside-down marker never appeared; pixel " << std::hex << x.Pixel(window, 360 - 250, 640 - 500);
    EXPECT_TRUE(Logged("[VIDEO_PLAYER]present path[gpu]"));
    EXPECT_FALSE(IsRed(x.Pixel(window, 250, 500)));
    EXPECT_EQ(x.Pixel(window, 390, 690), 0) << "outside the rectangle the window is black";
}
