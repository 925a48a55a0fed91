// The vendor SDK stand-in without a server: key codes, the frame buffer and
// what the classes refuse before they play.
#include <gtest/gtest.h>

#include <linux/input-event-codes.h>

#include <vector>

#include "swplay_u/keyboard.h"
#include "swplay_u/sw_data_source.h"
#include "swplay_u/sw_player.h"
#include "swplay_u/sw_runtime.h"
#include "swplay_u/video_display.h"

namespace {

using namespace swplay_u;

class CountingDisplay : public VideoDisplayWinBase {
public:
    int ready = 0;

protected:
    void onFrameReady() override { ++ready; }
};

uint32_t Pixel(VideoDisplayWinBase& d, int x, int y) {
    const uint8_t* data = d.lockFrame();
    const uint32_t p = reinterpret_cast<const uint32_t*>(data)[y * d.frameWidth() + x];
    d.unlockFrame();
    return p;
}

TEST(SwKeyboard, MapsVirtualKeysToLinuxCodes) {
    const Keyboard* k = Keyboard::GetInstance();
    EXPECT_EQ(k->getKeyCode(0x41), KEY_A);
    EXPECT_EQ(k->getKeyCode(0x30), KEY_0);
    EXPECT_EQ(k->getKeyCode(0x0D), KEY_ENTER);
    EXPECT_EQ(k->getKeyCode(0x87), KEY_F24);
    EXPECT_EQ(k->getKeyCode(0xDE), KEY_APOSTROPHE);
    EXPECT_EQ(k->getKeyCode(0xFF), 0);
    EXPECT_EQ(k->getKeyCode(-1), 0);
    EXPECT_EQ(k->getKeyCode(4096), 0);
}

TEST(SwDisplay, ScalesPortraitAndTurnsLandscapePictures) {
    CountingDisplay d;
    ASSERT_EQ(d.setDstFormat(-1, 4, 8, 0), 0);
    EXPECT_EQ(d.setDstFormat(0, 4, 8, 0), -1);
    EXPECT_EQ(d.setDstFormat(-1, 0, 8, 0), -1);
    EXPECT_EQ(Pixel(d, 0, 0), 0xFF000000u);  // black before the first picture

    // Portrait 2 x 4: each source pixel becomes a 2 x 2 block.
    std::vector<uint32_t> portrait = {1, 2, 3, 4, 5, 6, 7, 8};
    d.writeFrame(reinterpret_cast<const uint8_t*>(portrait.data()), 2, 4);
    EXPECT_EQ(d.ready, 1);
    EXPECT_EQ(Pixel(d, 0, 0), 1u);
    EXPECT_EQ(Pixel(d, 3, 0), 2u);
    EXPECT_EQ(Pixel(d, 0, 7), 7u);
    EXPECT_EQ(d.frameCount(), 1u);

    // Landscape 8 x 4 (rows 0..3): turned a quarter clockwise, the bottom
    // row becomes the left column.
    std::vector<uint32_t> landscape(32);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x) landscape[y * 8 + x] = 100 + y * 10 + x;
    d.writeFrame(reinterpret_cast<const uint8_t*>(landscape.data()), 8, 4);
    EXPECT_EQ(Pixel(d, 0, 0), 130u);  // bottom-left of the source
    EXPECT_EQ(Pixel(d, 3, 0), 100u);  // top-left
    EXPECT_EQ(Pixel(d, 0, 7), 137u);  // bottom-right
    uint64_t number = 0;
    d.lockFrame(&number);
    d.unlockFrame();
    EXPECT_EQ(number, 2u);
    d.writeFrame(nullptr, 8, 4);
    EXPECT_EQ(d.frameCount(), 2u);
}

TEST(SwDataSource, RefusesInputAndStartWithoutAStream) {
    SWDataSourceListener listener;
    SWPlayer player;
    SWDataSource source(player.getId(), &listener);
    EXPECT_EQ(source.playerId(), player.getId());
    EXPECT_EQ(source.sendTouchEvent(0, 1, 10, 10, 1.0f), -1);
    EXPECT_EQ(source.sendKeyEvent(3, KEY_A), -1);
    EXPECT_EQ(source.copyToRemote("x", 1), -1);
    EXPECT_EQ(source.sendInputString("x", 1), -1);
    EXPECT_EQ(source.setVideoLevel(2), 0);  // remembered for later
    const SWVideoLevel levels[2] = {{{2, 720, 1280, 20, 15, 4096, 45, 1, 1, 0, 0}},
                                    {{2, 720, 1280, 20, 15, 2048, 45, 2, 2, 0, 0}}};
    ASSERT_EQ(source.setVideoLevels(levels, 2), 0);
    EXPECT_EQ(source.setVideoLevel(2), 0);   // levels are chosen by position
    EXPECT_EQ(source.setVideoLevel(3), -1);  // not among them
    EXPECT_EQ(source.setVideoLevel(0), -1);
    EXPECT_EQ(source.screenCast(SWDataSource::kScreenCastThumbnail), 0);
    EXPECT_EQ(source.screenCast(7), -1);
    EXPECT_EQ(source.sendKeyEvent(2, KEY_A), -1);
    EXPECT_EQ(source.setLoginParams("", 1, 1, "t", "d", 0), -1);
    EXPECT_EQ(source.setLoginParams("127.0.0.1", 0, 1, "t", "d", 0), -1);
    EXPECT_EQ(source.setPlayParams("", 2, 50, 1280, 20, 15, 4096, 40, 1, 1, 3, 1, 0), -1);

    CountingDisplay display;
    EXPECT_EQ(player.start(), -1);  // no source, no display
    player.setDataSource(&source);
    player.setDisplay(&display);
    SWRuntime::GetInstance()->init(3, nullptr);
    EXPECT_TRUE(SWRuntime::GetInstance()->isInitialised());
    EXPECT_EQ(player.start(), -1);  // no login parameters
    player.stop();
}

}  // namespace
