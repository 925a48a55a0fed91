// The SDL player drawing into a plain X11 window (Xvfb when no display is
// set): pixels inside the rectangle, black outside, turns, no input taken.
#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include "codec/codec_interface.h"
#include "video_player/video_player.h"
#include "x_display.h"

namespace {

using namespace codec_interface;
using video_player::DisplayRect;
using video_player::IVideoPlayInterface;

// 64 x 64 RGBA: top half red, bottom half green.
struct TestPicture {
    std::vector<uint8_t> rgba;
    CVideoDecodeOutParam picture;
    TestPicture() {
        for (int y = 0; y < 64; ++y) {
            for (int x = 0; x < 64; ++x) {
                const bool top = y < 32;
                rgba.insert(rgba.end(), {static_cast<uint8_t>(top ? 255 : 0), static_cast<uint8_t>(top ? 0 : 255), 0, 255});
            }
        }
        ICodecInterface::ImageWrapBuffer(rgba.data(), static_cast<int>(rgba.size()), PIXEL_FORMAT_RGBA, 64, 64, picture);
    }
};

bool IsRed(uint32_t p) { return (p >> 16 & 0xFF) > 200 && (p >> 8 & 0xFF) < 60; }
bool IsGreen(uint32_t p) { return (p >> 8 & 0xFF) > 200 && (p >> 16 & 0xFF) < 60; }

class VideoPlayerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_display = new mediatest::XDisplay();
        if (!s_display->Open()) {
            delete s_display;
            s_display = nullptr;
        }
    }
    static void TearDownTestSuite() {
        delete s_display;
        s_display = nullptr;
    }
    void SetUp() override {
        if (!s_display) GTEST_SKIP() << "no X display and no Xvfb";
        m_window = s_display->CreateWindow(200, 150);
        m_player = IVideoPlayInterface::CreateVideoPlayer(video_player::VIDEO_PLAYER_SDL);
        ASSERT_TRUE(m_player);
        ASSERT_EQ(m_player->Init(PIXEL_FORMAT_I420, m_window, 64, 64), 0);
    }
    void TearDown() override {
        if (m_player) m_player->UnInit();
        if (s_display && m_window) s_display->DestroyWindow(m_window);
    }
    static mediatest::XDisplay* s_display;
    unsigned long m_window = 0;
    std::shared_ptr<IVideoPlayInterface> m_player;
    TestPicture m_picture;
};

mediatest::XDisplay* VideoPlayerTest::s_display = nullptr;

TEST_F(VideoPlayerTest, DrawsScaledIntoTheRectangleOnly) {
    const DisplayRect rect{20, 10, 120, 110};  // 100 x 100
    ASSERT_EQ(m_player->Draw(m_picture.picture, rect, 0), 0);
    EXPECT_TRUE(IsRed(s_display->Pixel(m_window, 70, 30)));
    EXPECT_TRUE(IsGreen(s_display->Pixel(m_window, 70, 90)));
    EXPECT_EQ(s_display->Pixel(m_window, 5, 5), 0u);
    EXPECT_EQ(s_display->Pixel(m_window, 160, 60), 0u);
    EXPECT_EQ(s_display->Pixel(m_window, 70, 130), 0u);
}

TEST_F(VideoPlayerTest, TurnsByTheDisplayMode) {
    const DisplayRect rect{0, 0, 200, 150};
    // Mode 1: the picture's top at the window's left.
    ASSERT_EQ(m_player->Draw(m_picture.picture, rect, 1), 0);
    EXPECT_TRUE(IsRed(s_display->Pixel(m_window, 40, 75)));
    EXPECT_TRUE(IsGreen(s_display->Pixel(m_window, 160, 75)));
    // Mode 3: its top at the right. Mode 2: upside down.
    ASSERT_EQ(m_player->Draw(m_picture.picture, rect, 3), 0);
    EXPECT_TRUE(IsGreen(s_display->Pixel(m_window, 40, 75)));
    EXPECT_TRUE(IsRed(s_display->Pixel(m_window, 160, 75)));
    ASSERT_EQ(m_player->Draw(m_picture.picture, rect, 2), 0);
    EXPECT_TRUE(IsGreen(s_display->Pixel(m_window, 100, 20)));
    EXPECT_TRUE(IsRed(s_display->Pixel(m_window, 100, 130)));
}

TEST_F(VideoPlayerTest, ZeroSizeRectangleDrawsNothing) {
    ASSERT_EQ(m_player->Draw(m_picture.picture, DisplayRect{0, 0, 200, 150}, 0), 0);
    ASSERT_TRUE(IsRed(s_display->Pixel(m_window, 100, 20)));
    EXPECT_EQ(m_player->Draw(m_picture.picture, DisplayRect{50, 50, 50, 120}, 0), 0);
    EXPECT_EQ(m_player->Draw(m_picture.picture, DisplayRect{50, 50, 120, 50}, 0), 0);
    EXPECT_EQ(m_player->Draw(m_picture.picture, DisplayRect{120, 50, 50, 100}, 0), 0);
    EXPECT_TRUE(IsRed(s_display->Pixel(m_window, 100, 20)));  // the last picture stays
}

TEST_F(VideoPlayerTest, FollowsAWindowResize) {
    XResizeWindow(s_display->Get(), m_window, 300, 200);
    XSync(s_display->Get(), False);
    ASSERT_EQ(m_player->Draw(m_picture.picture, DisplayRect{200, 100, 300, 200}, 0), 0);
    EXPECT_TRUE(IsGreen(s_display->Pixel(m_window, 250, 180)));
}

TEST_F(VideoPlayerTest, LeavesInputToTheApplication) {
    ASSERT_EQ(m_player->Draw(m_picture.picture, DisplayRect{0, 0, 200, 150}, 0), 0);
    // Only the application's own selection is on the window: SDL selected
    // nothing (a second client selecting button presses would have failed ours).
    XWindowAttributes attributes;
    ASSERT_TRUE(XGetWindowAttributes(s_display->Get(), m_window, &attributes));
    EXPECT_EQ(attributes.all_event_masks, attributes.your_event_mask);
    EXPECT_TRUE(attributes.your_event_mask & ButtonPressMask);
}

TEST_F(VideoPlayerTest, RefusesAMissingWindowAndBadPictures) {
    auto other = IVideoPlayInterface::CreateVideoPlayer(video_player::VIDEO_PLAYER_SDL);
    EXPECT_EQ(other->Init(PIXEL_FORMAT_I420, 0x7FFFFF0, 64, 64), -1);
    EXPECT_EQ(other->Init(PIXEL_FORMAT_I420, m_window, 0, 64), -1);
    EXPECT_EQ(IVideoPlayInterface::CreateVideoPlayer(static_cast<video_player::ENUM_VIDEO_PLAYER_TYPE>(3)), nullptr);
    CVideoDecodeOutParam empty;
    EXPECT_EQ(m_player->Draw(empty, DisplayRect{0, 0, 10, 10}, 0), -1);
    // A window destroyed under the player fails the draw instead of ending the process.
    s_display->DestroyWindow(m_window);
    EXPECT_EQ(m_player->Draw(m_picture.picture, DisplayRect{0, 0, 10, 10}, 0), -1);
    m_window = 0;
}

}  // namespace
