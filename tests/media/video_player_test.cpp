// The player's software path drawing into a plain X11 window (Xvfb when no
// display is set): pixels inside the rectangle, black outside, turns, windows
// that cannot be seen, no input taken.
#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include "codec/codec_interface.h"
#include "player_fixture.h"
#include "quadrant_picture.h"
#include "video_player/video_player.h"

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

class VideoPlayerTest : public mediatest::PlayerTest {
protected:
    void SetUp() override {
        PlayerTest::SetUp();
        if (IsSkipped()) return;
        m_window = s_display->CreateWindow(200, 150);
        m_player = IVideoPlayInterface::CreateVideoPlayer(video_player::VIDEO_PLAYER_SDL);
        ASSERT_TRUE(m_player);
        ASSERT_EQ(m_player->Init(PIXEL_FORMAT_I420, m_window, 64, 64), 0);
    }
    void TearDown() override {
        if (m_player) m_player->UnInit();
        if (s_display && m_window) s_display->DestroyWindow(m_window);
        PlayerTest::TearDown();
    }
    unsigned long m_window = 0;
    std::shared_ptr<IVideoPlayInterface> m_player;
    TestPicture m_picture;
};

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

TEST_F(VideoPlayerTest, SoftwarePathDrawsEveryTurnIntoTheRectangle) {
    EXPECT_NE(LineWith("[VIDEO_PLAYER]present path[software]"), "");
    mediatest::QuadrantPicture quadrants;
    // Neither square nor aligned: the picture is scaled unevenly and turned.
    const DisplayRect rect{13, 7, 190, 141};
    for (int mode = 0; mode < 4; ++mode) {
        ASSERT_EQ(m_player->Draw(quadrants.Get(), rect, mode), 0);
        EXPECT_EQ(mediatest::QuadrantColours(*s_display, m_window, rect), mediatest::ExpectedQuadrants(mode))
            << "mode " << mode;
        EXPECT_EQ(s_display->Pixel(m_window, 5, 3), 0u) << "mode " << mode;
        EXPECT_EQ(s_display->Pixel(m_window, 195, 145), 0u) << "mode " << mode;
    }
    // Negative modes count the other way round.
    ASSERT_EQ(m_player->Draw(quadrants.Get(), rect, -1), 0);
    EXPECT_EQ(mediatest::QuadrantColours(*s_display, m_window, rect), mediatest::ExpectedQuadrants(3));
}

TEST_F(VideoPlayerTest, HiddenWindowDrawsNothing) {
    mediatest::QuadrantPicture quadrants;
    const DisplayRect rect{0, 0, 200, 150};
    ASSERT_EQ(m_player->Draw(quadrants.Get(), rect, 0), 0);
    s_display->Unmap(m_window);
    EXPECT_EQ(m_player->Draw(m_picture.picture, rect, 0), 1);
    EXPECT_EQ(m_player->Draw(m_picture.picture, rect, 0), 1);
    s_display->Map(m_window);
    // Shown again: the next picture comes out.
    ASSERT_EQ(m_player->Draw(quadrants.Get(), rect, 2), 0);
    EXPECT_EQ(mediatest::QuadrantColours(*s_display, m_window, rect), mediatest::ExpectedQuadrants(2));
}

TEST_F(VideoPlayerTest, MinimisedTopLevelDrawsNothing) {
    // The picture's window is a child, as an application's picture widget is;
    // minimising unmaps the top-level around it.
    const unsigned long top = s_display->CreateWindow(300, 300);
    const unsigned long child = s_display->CreateWindow(120, 100, top);
    auto player = IVideoPlayInterface::CreateVideoPlayer(video_player::VIDEO_PLAYER_SDL);
    ASSERT_EQ(player->Init(PIXEL_FORMAT_I420, child, 64, 64), 0);
    mediatest::QuadrantPicture quadrants;
    const DisplayRect rect{0, 0, 120, 100};
    ASSERT_EQ(player->Draw(quadrants.Get(), rect, 0), 0);
    EXPECT_EQ(mediatest::QuadrantColours(*s_display, child, rect), mediatest::ExpectedQuadrants(0));
    s_display->Unmap(top);
    EXPECT_EQ(player->Draw(quadrants.Get(), rect, 1), 1);
    s_display->Map(top);
    ASSERT_EQ(player->Draw(quadrants.Get(), rect, 1), 0);
    EXPECT_EQ(mediatest::QuadrantColours(*s_display, child, rect), mediatest::ExpectedQuadrants(1));
    player->UnInit();
    s_display->DestroyWindow(top);
}

}  // namespace
