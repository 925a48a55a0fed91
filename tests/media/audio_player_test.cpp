// The SDL audio player on SDL's dummy driver (set by the test's environment).
#include <gtest/gtest.h>

#include "audio_player/audio_player.h"

namespace {

using audio_player::IAudioPlayInterface;

TEST(AudioPlayer, QueuesUpToTheLatencyBoundThenDrops) {
    auto player = IAudioPlayInterface::CreateAudioPlayer();
    ASSERT_TRUE(player);
    ASSERT_EQ(player->Init(2, 1920, 48000, 100), 0);
    std::vector<int16_t> block(960 * 2, 1000);  // 20 ms
    int queued = 0;
    int dropped = 0;
    for (int i = 0; i < 20; ++i) {
        const int result = player->Play(block.data(), 960);
        ASSERT_GE(result, 0);
        (result == 0 ? queued : dropped)++;
    }
    EXPECT_GE(queued, 5);
    EXPECT_GT(dropped, 0);
    EXPECT_LE(player->QueuedMs(), 100 + 20);
    player->UnInit();
    EXPECT_EQ(player->QueuedMs(), 0);
    EXPECT_EQ(player->Play(block.data(), 960), -1);
}

TEST(AudioPlayer, PlaysDecodedBlocksThatMatch) {
    auto player = IAudioPlayInterface::CreateAudioPlayer();
    ASSERT_EQ(player->Init(2, 1920, 48000), 0);
    codec_interface::CAudioDecodeOutParam block;
    block.sampleRate = 48000;
    block.channels = 2;
    block.samples = 960;
    block.pcm.assign(960 * 2, 0);
    EXPECT_EQ(player->Play(block), 0);
    block.sampleRate = 16000;
    EXPECT_EQ(player->Play(block), -1);
    block.sampleRate = 48000;
    block.samples = 5000;  // more than the block holds
    EXPECT_EQ(player->Play(block), -1);
    // A second Init reopens; the first player's device is gone.
    EXPECT_EQ(player->Init(1, 960, 16000), 0);
    EXPECT_EQ(player->Init(3, 960, 16000), -1);
    EXPECT_EQ(player->Init(2, 0, 48000), -1);
}

// Some drivers (the dummy one among them) have a single device: a second
// player then fails cleanly and gets the device once the first is gone.
TEST(AudioPlayer, SecondPlayerFailsCleanlyOrPlays) {
    auto a = IAudioPlayInterface::CreateAudioPlayer();
    auto b = IAudioPlayInterface::CreateAudioPlayer();
    ASSERT_EQ(a->Init(2, 1920, 48000), 0);
    std::vector<int16_t> pcm(960 * 2, 0);
    const bool both = b->Init(1, 480, 24000) == 0;
    EXPECT_EQ(a->Play(pcm.data(), 960), 0);
    a.reset();  // the destructor closes its device
    if (!both) {
        ASSERT_EQ(b->Init(1, 480, 24000), 0);
    }
    EXPECT_EQ(b->Play(pcm.data(), 480), 0);
}

}  // namespace
