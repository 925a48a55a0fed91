// From an instance number to a playing stream against the local cloud.
#include "hub_cloud_fixture.h"

using namespace data_hub;
using namespace hub_test;

TEST_F(HubCloudTest, ConnectsPlaysAndForwardsInput) {
    ASSERT_EQ(InitHub(), 0);
    ASSERT_EQ(hub->Start(), 0);
    EXPECT_EQ(hub->Start(), -1) << "once per Init";
    ASSERT_TRUE(WaitUntil([&] { return notic->CountStatus(0) == 1; })) << "never played";
    ASSERT_TRUE(WaitUntil([&] { return notic->PlayResults() == 1 && notic->videoPackages > 0; }));
    auto play = notic->Play();
    EXPECT_EQ(play[0], 0);
    EXPECT_EQ(play[1], 720);
    EXPECT_EQ(play[2], 1280);
    // On playing the hub switches the phone's input mode itself.
    ASSERT_TRUE(WaitUntil([&] { return Received("CP-DEMO-0001", "inputMode"); }));
    cloudsim::SessionInfo session;
    ASSERT_TRUE(cloud->LatestSession("CP-DEMO-0001", session));
    bool authOk = false;
    for (auto& m : cloud->Received("CP-DEMO-0001"))
        if (m.kind == "auth") authOk = m.sessionId == session.sessionId;
    EXPECT_TRUE(authOk);

    EXPECT_EQ(hub->SendInKeyReq(1, 30), 0);
    uint32_t xs[] = {360}, ys[] = {640};
    EXPECT_EQ(hub->SendInTouchReq(0, xs, ys, 1), 0);
    EXPECT_EQ(hub->SendInTouchReq(0, xs, ys, 0), -1);
    EXPECT_EQ(hub->SendInputStringReq("hello"), 0);
    EXPECT_EQ(hub->SendInCameraParamReq(265, 1, 1, nullptr, 0), -1) << "H.265 camera refused";
    ASSERT_TRUE(WaitUntil([&] { return Received("CP-DEMO-0001", "key") && Received("CP-DEMO-0001", "touch"); }));
    ASSERT_TRUE(WaitUntil([&] { return Received("CP-DEMO-0001", "inputString"); }));

    EXPECT_EQ(hub->UnInit(), 0);
    EXPECT_EQ(hub->SendInKeyReq(1, 30), -1);
    // And it can be brought up again.
    ASSERT_EQ(InitHub(), 0);
    ASSERT_EQ(hub->Start(), 0);
    ASSERT_TRUE(WaitUntil([&] { return notic->CountStatus(0) == 2; }));
}

TEST_F(HubCloudTest, SessionRenewalRefreshesOncePerErrorAndReconnects) {
    cloudsim::FaultScript fault;
    fault.errorCode = 60103013;
    fault.errorAfterPackages = 3;
    fault.streamConnections = 1;
    cloud->SetFaults("CP-DEMO-0001", fault);
    QvDataSystemParam system;
    system.reconnectIntervalMs = 1000;
    ASSERT_EQ(InitHub(&system), 0);
    ASSERT_EQ(hub->Start(), 0);
    ASSERT_TRUE(WaitUntil([&] { return notic->CountStatus(0) == 2; }, 20000)) << "no second play after renewal";
    EXPECT_EQ(CountCalls("/sdk/instance/refresh-session"), 1);
    cloudsim::SessionInfo session;
    ASSERT_TRUE(cloud->LatestSession("CP-DEMO-0001", session));
    EXPECT_EQ(session.formerIds.size(), 1u) << "the link came back with the renewed id";
    for (auto& s : notic->Statuses()) EXPECT_NE(s.first, 60103013) << "renewal is not reported";
}

TEST_F(HubCloudTest, PlatformRefusalsAndFailuresReachTheStatus) {
    cloudsim::FaultScript fault;
    fault.refuseCode = 4031;
    fault.refuseMsg = "instance locked";
    cloud->SetFaults("CP-DEMO-0001", fault);
    ASSERT_EQ(InitHub(), 0);
    ASSERT_EQ(hub->Start(), 0);
    ASSERT_TRUE(WaitUntil([&] { return notic->CountStatus(4031) == 1; }));
    for (auto& s : notic->Statuses()) {
        if (s.first == 4031) {
            EXPECT_EQ(s.second, "instance locked");
        }
    }
    hub->UnInit();

    fault = cloudsim::FaultScript();
    fault.httpStatus = 500;
    cloud->SetFaults("CP-DEMO-0001", fault);
    ASSERT_EQ(InitHub(), 0);
    ASSERT_EQ(hub->Start(), 0);
    ASSERT_TRUE(WaitUntil([&] { return notic->CountStatus(QV_STATUS_PHONE_CONNECT_NOT_200) == 1; }));
    hub->UnInit();

    // Nothing listens on the address: the transfer itself fails.
    QvVideoParam video;
    ASSERT_EQ(hub->Init("http://127.0.0.1:9", "demo-user", "demo-access-key", "demo-secret-key", "CP-DEMO-0001", 0,
                        notic, &video, nullptr),
              0);
    ASSERT_EQ(hub->Start(), 0);
    ASSERT_TRUE(WaitUntil([&] { return notic->CountStatus(QV_STATUS_PHONE_CONNECT_FAILED) == 1; }));
}

TEST_F(HubCloudTest, StreamErrorsGoToStatusOrSessionError) {
    cloudsim::FaultScript fault;
    fault.errorCode = 60102029;
    fault.errorMsg = "session taken over";
    fault.errorAfterPackages = 2;
    cloud->SetFaults("CP-DEMO-0001", fault);
    QvDataSystemParam system;
    system.reconnect = 0;
    ASSERT_EQ(InitHub(&system), 0);
    ASSERT_EQ(hub->Start(), 0);
    ASSERT_TRUE(WaitUntil([&] { return notic->SessionErrors().size() == 1; }));
    EXPECT_EQ(notic->SessionErrors()[0], std::make_pair(60102029, std::string("session taken over")));
    ASSERT_TRUE(WaitUntil([&] { return notic->CountStatus(QV_STATUS_WS_DISCONNECT) >= 1; }));
}

TEST_F(HubCloudTest, AnUnreachableStreamServerReportsEachAttempt) {
    cloudsim::FaultScript fault;
    fault.refuseUpgrade = true;
    fault.streamConnections = -1;
    cloud->SetFaults("CP-DEMO-0001", fault);
    QvDataSystemParam system;
    system.reconnectIntervalMs = 1000;
    system.wsConnectTimeoutMs = 1000;
    ASSERT_EQ(InitHub(&system), 0);
    ASSERT_EQ(hub->Start(), 0);
    ASSERT_TRUE(WaitUntil([&] {
        return notic->CountStatus(QV_STATUS_WS_CONNECTING) >= 2 && notic->CountStatus(QV_STATUS_WS_DISCONNECT) >= 1;
    }, 20000));
    EXPECT_EQ(notic->CountStatus(0), 0);
}
