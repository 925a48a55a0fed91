// Parameter bounds and the two time rules of the connection machine.
#include <gtest/gtest.h>

#include "relay_port_params.h"

using namespace relay_port;

TEST(LinkRules, VideoBoundsAreInclusive) {
    WsVideoParam v{};
    v.width = 100;
    v.height = 100;
    v.fps = 60;
    EXPECT_TRUE(CheckVideoParam(v));
    v.width = 4096;
    v.height = 4096;
    v.fps = 0;
    EXPECT_TRUE(CheckVideoParam(v));
    for (auto bad : {std::make_tuple(99, 100, 30), std::make_tuple(100, 99, 30), std::make_tuple(4097, 100, 30),
                     std::make_tuple(100, 4097, 30), std::make_tuple(100, 100, 61)}) {
        v.width = static_cast<uint16_t>(std::get<0>(bad));
        v.height = static_cast<uint16_t>(std::get<1>(bad));
        v.fps = static_cast<uint16_t>(std::get<2>(bad));
        EXPECT_FALSE(CheckVideoParam(v)) << v.width << "x" << v.height << "@" << v.fps;
    }
}

TEST(LinkRules, AudioBoundsAreInclusive) {
    EXPECT_TRUE(CheckAudioParam(WsAudioParam{0, 8000, 1}));
    EXPECT_TRUE(CheckAudioParam(WsAudioParam{0, 384000, 16}));
    EXPECT_FALSE(CheckAudioParam(WsAudioParam{0, 7999, 1}));
    EXPECT_FALSE(CheckAudioParam(WsAudioParam{0, 384001, 1}));
    EXPECT_FALSE(CheckAudioParam(WsAudioParam{0, 8000, 0}));
    EXPECT_FALSE(CheckAudioParam(WsAudioParam{0, 8000, 17}));
}

TEST(LinkRules, SystemBoundsAreInclusive) {
    EXPECT_TRUE(CheckSystemParam(WsSystemParam{0, 1000, 1000, 0}));
    EXPECT_TRUE(CheckSystemParam(WsSystemParam{1, 30000, 60000, 0}));
    EXPECT_FALSE(CheckSystemParam(WsSystemParam{0, 999, 1000, 0}));
    EXPECT_FALSE(CheckSystemParam(WsSystemParam{0, 30001, 1000, 0}));
    EXPECT_FALSE(CheckSystemParam(WsSystemParam{0, 1000, 999, 0}));
    EXPECT_FALSE(CheckSystemParam(WsSystemParam{0, 1000, 60001, 0}));
}

TEST(LinkRules, UpgradeTimeoutOnTheTickAfterTimeoutOverTen) {
    EXPECT_EQ(EvaluateUpgrade(0, 500, 5000), UpgradeCheck::kWait);
    EXPECT_EQ(EvaluateUpgrade(0, 501, 5000), UpgradeCheck::kTimedOut);
    EXPECT_EQ(EvaluateUpgrade(200, 1, 5000), UpgradeCheck::kWait);
    EXPECT_EQ(EvaluateUpgrade(101, 501, 5000), UpgradeCheck::kUpgraded);
    EXPECT_EQ(EvaluateUpgrade(-1, 1, 5000), UpgradeCheck::kFailed);
    EXPECT_EQ(EvaluateUpgrade(0, 100, 1005), UpgradeCheck::kWait);  // 1005 / 10 = 100 ticks
    EXPECT_EQ(EvaluateUpgrade(0, 101, 1005), UpgradeCheck::kTimedOut);
}

TEST(LinkRules, EchoSilenceOfExactlyTenSecondsStillCounts) {
    EXPECT_TRUE(EchoAlive(1000000 + 10000, 1000000));
    EXPECT_FALSE(EchoAlive(1000000 + 10001, 1000000));
}
