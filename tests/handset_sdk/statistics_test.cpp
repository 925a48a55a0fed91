// The statistics query against the local cloud: the figures follow the
// stream, a delay scripted on the cloud's delay echoes shows as network
// delay, and a dropped connection counts as a reconnect with its error.
#include <cmath>
#include <cstdlib>
#include <sstream>

#include "data_hub/data_hub.h"
#include "sdk_cloud_fixture.h"

using namespace handset_sdk;
using namespace handset_test;

namespace {

QvPhoneStats Stats(IHandsetSdk& sdk) {
    QvPhoneStats stats;
    EXPECT_EQ(sdk.GetStatistics(&stats), 0);
    return stats;
}

std::string Describe(const QvPhoneStats& s) {
    std::ostringstream out;
    out << "fps " << s.receivedFps << "/" << s.decodedFps << "/" << s.presentedFps << " kbps " << s.videoKbps
        << " delay " << s.delayLastMs << "/" << s.delayAverageMs << "/" << s.delayWorstMs << " reconnects "
        << s.reconnects << " error " << s.lastErrorCode << " " << s.lastErrorText;
    return out.str();
}

bool Near(float value, float wanted, float share) { return std::fabs(value - wanted) <= wanted * share; }

}  // namespace

TEST_F(SdkCloudTest, StatisticsFollowTheStream) {
    QvPhoneStats stats;
    EXPECT_EQ(sdk->GetStatistics(&stats), -1) << "not initialised";
    Play(OutMode());
    EXPECT_EQ(sdk->GetStatistics(nullptr), -1);
    ASSERT_EQ(sdk->StartOut(), 0);

    // The cloud streams at the 10 fps asked for (the rates settle after a
    // few seconds of play).
    ASSERT_TRUE(WaitUntil([&] {
        stats = Stats(*sdk);
        return Near(stats.receivedFps, 10, 0.1f) && Near(stats.decodedFps, 10, 0.1f) &&
               Near(stats.presentedFps, 10, 0.1f) && stats.delayAverageMs >= 0 && stats.framesPresented > 20;
    }, 30000)) << Describe(stats);
    EXPECT_EQ(stats.videoCodec, 264);
    EXPECT_EQ(stats.width, 720);
    EXPECT_EQ(stats.height, 1280);
    EXPECT_EQ(stats.hardwareDecode, 0);
    EXPECT_STREQ(stats.decoderNote, "") << "software was asked for";
    EXPECT_GT(stats.videoKbps, 0);
    EXPECT_GE(stats.framesReceived, stats.framesDecoded);
    EXPECT_GE(stats.framesDecoded, stats.framesPresented);
    EXPECT_EQ(stats.droppedDecode, 0u);
    EXPECT_GE(stats.delayLastMs, 0);
    EXPECT_GE(stats.delayWorstMs, stats.delayAverageMs);
    EXPECT_GT(stats.decodeAverageUs, 0);
    EXPECT_GE(stats.decodeWorstUs, stats.decodeAverageUs);
    EXPECT_GE(stats.presentWorstUs, stats.presentAverageUs);
    EXPECT_GE(stats.queueDepth, 0);
    EXPECT_EQ(stats.audioBufferMs, -1) << "out mode plays no sound";
    EXPECT_EQ(stats.reconnects, 0u);
    EXPECT_EQ(stats.lastErrorCode, 0);

    // A new session starts from nothing.
    ASSERT_EQ(sdk->Uninit(), 0);
    EXPECT_EQ(sdk->GetStatistics(&stats), -1);
    ASSERT_EQ(InitSdk(OutMode()), 0);
    stats = Stats(*sdk);
    EXPECT_EQ(stats.framesReceived, 0u);
    EXPECT_EQ(stats.delayLastMs, -1);
    EXPECT_EQ(stats.width, -1);
}

TEST_F(SdkCloudTest, DelayScriptedOnTheEchoesShowsAsNetworkDelay) {
    Play(OutMode());
    QvPhoneStats stats;
    ASSERT_TRUE(WaitUntil([&] {
        stats = Stats(*sdk);
        return stats.delayAverageMs >= 0 && stats.delayLastMs >= 0;
    }, 20000)) << "no delay echo";
    const int baseline = stats.delayAverageMs;
    ASSERT_EQ(sdk->Uninit(), 0);

    cloudsim::FaultScript faults;
    faults.probeDelayMs = 50;
    faults.streamConnections = -1;
    cloud->SetFaults(kInstance, faults);
    notic = std::make_shared<PhoneRecorder>();
    Play(OutMode());
    ASSERT_TRUE(WaitUntil([&] {
        stats = Stats(*sdk);
        return stats.delayAverageMs >= 0 && std::abs(stats.delayAverageMs - baseline - 50) <= 10 &&
               std::abs(stats.delayLastMs - baseline - 50) <= 10;
    }, 20000)) << "baseline " << baseline << ": " << Describe(stats);
    EXPECT_GE(stats.delayWorstMs, 50);
}

TEST_F(SdkCloudTest, DroppedConnectionCountsAReconnectAndItsError) {
    cloudsim::FaultScript faults;
    faults.dropAfterPackages = 30;
    cloud->SetFaults(kInstance, faults);
    Play(OutMode());
    ASSERT_EQ(sdk->StartOut(), 0);
    QvPhoneStats stats;
    ASSERT_TRUE(WaitUntil([&] {
        stats = Stats(*sdk);
        return stats.reconnects >= 1 && stats.lastErrorCode == data_hub::QV_STATUS_WS_DISCONNECT;
    }, 20000)) << Describe(stats);
    EXPECT_STREQ(stats.lastErrorText, data_hub::StatusText(data_hub::QV_STATUS_WS_DISCONNECT));
    // The stream comes back after the reconnect.
    const uint64_t before = stats.framesReceived;
    ASSERT_TRUE(WaitUntil([&] { return Stats(*sdk).framesReceived > before + 10; }, 20000)) << Describe(stats);
    EXPECT_EQ(Stats(*sdk).reconnects, stats.reconnects) << "one drop, one reconnect";
}
