// Which presentation path the player takes, and the GPU path itself. There
// is no GPU here: the GPU path runs on Mesa's software rasteriser under Xvfb,
// which the player takes only when TESSIVO_VIDEO_PRESENT is "gpu-any".
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include <X11/Xlib.h>

#include "player_fixture.h"
#include "quadrant_picture.h"

namespace {

using codec_interface::PIXEL_FORMAT_I420;
using mediatest::ScopedEnv;
using video_player::DisplayRect;
using video_player::IVideoPlayInterface;

class PresentPathTest : public mediatest::PlayerTest {
protected:
    void SetUp() override {
        PlayerTest::SetUp();
        if (IsSkipped()) return;
        m_window = s_display->CreateWindow(200, 150);
        m_player = IVideoPlayInterface::CreateVideoPlayer(video_player::VIDEO_PLAYER_SDL);
        ASSERT_TRUE(m_player);
    }
    void TearDown() override {
        if (m_player) m_player->UnInit();  // before the window goes
        if (s_display && m_window) s_display->DestroyWindow(m_window);
        PlayerTest::TearDown();
    }
    std::string PathLine() { return LineWith("[VIDEO_PLAYER]present path["); }

    // Another connection draws the GPU path's pictures; they reach the
    // window on the server's own schedule.
    bool WaitForQuadrants(const DisplayRect& rect, int mode) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (mediatest::QuadrantColours(*s_display, m_window, rect) != mediatest::ExpectedQuadrants(mode)) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return true;
    }

    unsigned long m_window = 0;
    std::shared_ptr<IVideoPlayInterface> m_player;
    mediatest::QuadrantPicture m_quadrants;
};

TEST_F(PresentPathTest, SoftwareRasteriserIsRefusedForTheGpuPath) {
    ScopedEnv request("TESSIVO_VIDEO_PRESENT", "gpu");
    ASSERT_EQ(m_player->Init(PIXEL_FORMAT_I420, m_window, 64, 64), 0);
    const std::string line = PathLine();
    EXPECT_NE(line.find("present path[software]: OpenGL renderer ["), std::string::npos) << line;
    EXPECT_NE(line.find("] is a software rasteriser"), std::string::npos) << line;
    const DisplayRect rect{0, 0, 200, 150};
    ASSERT_EQ(m_player->Draw(m_quadrants.Get(), rect, 1), 0);
    EXPECT_EQ(mediatest::QuadrantColours(*s_display, m_window, rect), mediatest::ExpectedQuadrants(1));
}

TEST_F(PresentPathTest, FallsBackWhenOpenGlCannotStart) {
    ScopedEnv request("TESSIVO_VIDEO_PRESENT", "gpu-any");
    ScopedEnv library("SDL_OPENGL_LIBRARY", "/nonexistent/libGL.so.1");  // SDL loads OpenGL from here
    ASSERT_EQ(m_player->Init(PIXEL_FORMAT_I420, m_window, 64, 64), 0);
    const std::string line = PathLine();
    EXPECT_NE(line.find("present path[software]: no OpenGL for the window"), std::string::npos) << line;
    const DisplayRect rect{10, 10, 190, 140};
    ASSERT_EQ(m_player->Draw(m_quadrants.Get(), rect, 3), 0);
    EXPECT_EQ(mediatest::QuadrantColours(*s_display, m_window, rect), mediatest::ExpectedQuadrants(3));
}

TEST_F(PresentPathTest, SoftwarePathOnRequestAndWithoutAGpuDevice) {
    {
        ScopedEnv request("TESSIVO_VIDEO_PRESENT", "software");
        ASSERT_EQ(m_player->Init(PIXEL_FORMAT_I420, m_window, 64, 64), 0);
        EXPECT_EQ(PathLine(), "[VIDEO_PLAYER]present path[software]: chosen by TESSIVO_VIDEO_PRESENT");
        m_player->UnInit();
    }
    std::error_code error;
    if (std::filesystem::exists("/dev/dri", error) || std::filesystem::exists("/dev/nvidiactl", error)) {
        GTEST_SKIP() << "this machine has a GPU device";
    }
    ASSERT_EQ(m_player->Init(PIXEL_FORMAT_I420, m_window, 64, 64), 0);
    EXPECT_NE(LineWith("present path[software]: no GPU device"), "");
}

TEST_F(PresentPathTest, GpuPathDrawsEveryTurn) {
    ScopedEnv request("TESSIVO_VIDEO_PRESENT", "gpu-any");
    ASSERT_EQ(m_player->Init(PIXEL_FORMAT_I420, m_window, 64, 64), 0);
    const std::string line = PathLine();
    ASSERT_NE(line.find("present path[gpu]: OpenGL renderer ["), std::string::npos) << line;
    const DisplayRect rect{13, 7, 190, 141};
    for (int mode = 0; mode < 4; ++mode) {
        ASSERT_EQ(m_player->Draw(m_quadrants.Get(), rect, mode), 0);
        EXPECT_TRUE(WaitForQuadrants(rect, mode))
            << "mode " << mode << ": " << mediatest::QuadrantColours(*s_display, m_window, rect);
        EXPECT_EQ(s_display->Pixel(m_window, 5, 3), 0u) << "mode " << mode;
        EXPECT_EQ(s_display->Pixel(m_window, 195, 145), 0u) << "mode " << mode;
    }
}

TEST_F(PresentPathTest, GpuPathSkipsHiddenWindowsAndFollowsResizes) {
    ScopedEnv request("TESSIVO_VIDEO_PRESENT", "gpu-any");
    ASSERT_EQ(m_player->Init(PIXEL_FORMAT_I420, m_window, 64, 64), 0);
    ASSERT_NE(PathLine().find("present path[gpu]"), std::string::npos) << PathLine();
    s_display->Unmap(m_window);
    EXPECT_EQ(m_player->Draw(m_quadrants.Get(), DisplayRect{0, 0, 200, 150}, 0), 1);
    s_display->Map(m_window);
    XResizeWindow(s_display->Get(), m_window, 320, 240);
    XSync(s_display->Get(), False);
    const DisplayRect rect{200, 100, 320, 240};
    ASSERT_EQ(m_player->Draw(m_quadrants.Get(), rect, 2), 0);
    EXPECT_TRUE(WaitForQuadrants(rect, 2)) << mediatest::QuadrantColours(*s_display, m_window, rect);
}

}  // namespace

namespace {

TEST(OffscreenPlayerTest, WithoutX11DrawsIntoAnImageOfItsOwn) {
    mediatest::ScopedEnv driver("SDL_VIDEODRIVER", "dummy");
    auto player = IVideoPlayInterface::CreateVideoPlayer(video_player::VIDEO_PLAYER_SDL);
    ASSERT_EQ(player->Init(PIXEL_FORMAT_I420, 0x1234, 64, 64), 0) << "the window handle is ignored";
    mediatest::QuadrantPicture quadrants;
    for (int mode = 0; mode < 4; ++mode) EXPECT_EQ(player->Draw(quadrants.Get(), DisplayRect{0, 0, 90, 70}, mode), 0);
    EXPECT_EQ(player->Draw(quadrants.Get(), DisplayRect{0, 0, 9000, 70}, 0), -1) << "beyond the size limit";
    player->UnInit();
}

}  // namespace
