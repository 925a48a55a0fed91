// Every input operation reaches the phone with its values; statistics reach
// the platform; input from several threads while the link reconnects.
#include <json/json.h>

#include "hub_cloud_fixture.h"

using namespace data_hub;
using namespace hub_test;

namespace {

Json::Value Last(cloudsim::CloudSim& cloud, const std::string& kind) {
    Json::Value found;
    for (auto& m : cloud.Received("CP-DEMO-0001"))
        if (m.kind == kind) found = m.fields;
    return found;
}

}  // namespace

TEST_F(HubCloudTest, EveryInputOperationArrivesWithItsValues) {
    ASSERT_EQ(InitHub(), 0);
    ASSERT_EQ(hub->Start(), 0);
    ASSERT_TRUE(WaitUntil([&] { return notic->CountStatus(0) == 1 && notic->audioPackages > 0; }));
    uint32_t xs[] = {100, 200}, ys[] = {300, 400};
    EXPECT_EQ(hub->SendInTouchReq(1, xs, ys, 2), 0);
    EXPECT_EQ(hub->SendInKeyReq(1, 42), 0);
    EXPECT_EQ(hub->SendInLocationReq(1, 2, 3, 4, 5, 6, 7, 8), 0);
    EXPECT_EQ(hub->SendInSensorReq(3, 0.5f, 1.5f, 2.5f), 0);
    EXPECT_EQ(hub->SendMsgTransReq("svc", "payload"), 0);
    EXPECT_EQ(hub->SendCopyStringReq("copied"), 0);
    EXPECT_EQ(hub->SendPlayControlReq(1, 0), 0);
    EXPECT_EQ(hub->SendSetVideoParamReq(15, 1024, 720, 1280), 0);
    EXPECT_EQ(hub->SendInMicParamReq(48000, 2, 16), 0);
    EXPECT_EQ(hub->SendInCameraParamReq(264, 640, 480, "blob", 4), 0);
    EXPECT_EQ(hub->SendSetRotationReq(1, 0), 0);
    auto dummy = std::dynamic_pointer_cast<IQVDataDummyReqInterface>(hub);
    ASSERT_TRUE(dummy);
    EXPECT_EQ(dummy->SendDummyReq(), 0);
    ASSERT_TRUE(WaitUntil([&] { return !Last(*cloud, "dummy").isNull(); }));

    Json::Value touch = Last(*cloud, "touch");
    EXPECT_EQ(touch["action"].asUInt(), 1u);
    ASSERT_EQ(touch["points"].size(), 2u);
    EXPECT_EQ(Last(*cloud, "key")["key"].asUInt(), 42u);
    EXPECT_EQ(Last(*cloud, "location")["values"][7].asFloat(), 8.0f);
    EXPECT_EQ(Last(*cloud, "sensor")["sensorType"].asUInt(), 3u);
    EXPECT_FLOAT_EQ(Last(*cloud, "sensor")["z"].asFloat(), 2.5f);
    EXPECT_EQ(Last(*cloud, "msgTransReq")["service"].asString(), "svc");
    EXPECT_EQ(Last(*cloud, "copyString")["text"].asString(), "copied");
    EXPECT_EQ(Last(*cloud, "playControl")["first"].asUInt(), 1u);
    EXPECT_EQ(Last(*cloud, "setVideoParam")["fps"].asUInt(), 15u);
    EXPECT_EQ(Last(*cloud, "micParam")["a"].asUInt(), 48000u);
    EXPECT_EQ(Last(*cloud, "cameraParam")["blobLength"].asUInt(), 4u);
    EXPECT_EQ(Last(*cloud, "setRotation")["a"].asUInt(), 1u);
}

TEST_F(HubCloudTest, StatisticsReportsCarryTheirMetricAndCollectType) {
    ASSERT_EQ(InitHub(), 0);
    ASSERT_EQ(hub->Start(), 0);
    ASSERT_TRUE(WaitUntil([&] { return notic->CountStatus(0) == 1 && notic->videoPackages > 0; }));
    auto collected = [&](const std::string& metric, const std::string& collectType) {
        for (auto& call : cloud->ApiCalls()) {
            if (call.path != "/stat/message/collect" || !call.error.empty()) continue;
            if (call.body["metricType"].asString() == metric && call.body["collectType"].asString() == collectType &&
                call.body["businessType"].asString() == "CLOUD_PHONE")
                return true;
        }
        return false;
    };
    // The play result, the first frame and the link playing.
    EXPECT_TRUE(WaitUntil([&] { return collected("STAT_INFO", "START_PLAY"); }));
    EXPECT_TRUE(WaitUntil([&] { return collected("STAT_INFO", "FIRST_FRAME"); }));
    EXPECT_TRUE(WaitUntil([&] { return collected("STAT_INFO", "RECONNECT"); }));
}

TEST_F(HubCloudTest, InputFromSeveralThreadsWhileTheLinkReconnects) {
    cloudsim::FaultScript fault;
    fault.dropAfterPackages = 20;
    fault.streamConnections = 2;
    cloud->SetFaults("CP-DEMO-0001", fault);
    QvDataSystemParam system;
    system.reconnectIntervalMs = 1000;
    ASSERT_EQ(InitHub(&system), 0);
    ASSERT_EQ(hub->Start(), 0);
    ASSERT_TRUE(WaitUntil([&] { return notic->CountStatus(0) >= 1; }));
    std::atomic<bool> stop{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < 3; ++t) {
        threads.emplace_back([&, t] {
            uint32_t x = 10 + t, y = 20;
            while (!stop.load()) {
                hub->SendInKeyReq(1, static_cast<uint8_t>(30 + t));
                hub->SendInTouchReq(0, &x, &y, 1);
                hub->SendInputStringReq("abc");
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
        });
    }
    // Dropped twice, the link comes back each time while input keeps coming.
    bool replayed = WaitUntil([&] { return notic->CountStatus(0) >= 3; }, 30000);
    stop = true;
    for (auto& th : threads) th.join();
    EXPECT_TRUE(replayed);
    EXPECT_GE(notic->CountStatus(QV_STATUS_WS_DISCONNECT), 2);
}
