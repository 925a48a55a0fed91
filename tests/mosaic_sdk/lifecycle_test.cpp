// Init, Start and Uninit against local peers: refusals, the platform's
// failures, the start-completion rule, StartControl per node range and again
// after a reconnection.
#include "group_peer_fixture.h"
#include "peers/silent_server.h"

namespace mosaic_test {
namespace {

using peers::node_msg::kStartControlReq;

class LifecycleTest : public GroupPeerTest {};

TEST_F(LifecycleTest, RefusedCallsLeaveTheGroupIdle) {
    const char* one[] = {"P-1"};
    EXPECT_EQ(-1, sdk->Start(one, 1));  // before Init
    mosaic_sdk::QvDataParam data = Data();
    data.accessKey[0] = '\0';
    EXPECT_EQ(-1, sdk->Init(phoneNotic, notic, &data, nullptr, nullptr, nullptr, nullptr, nullptr));
    EXPECT_TRUE(Logged("[MOSAIC_SDK]Data param have empty value", 60));
    EXPECT_TRUE(Logged("[MOSAIC_SDK]CheckParam failed", 60));
    EXPECT_TRUE(Logged("[MOSAIC_SDK]QV Pic group control Init failed", 60));
    EXPECT_EQ(0, sdk->Uninit());  // idle: the state found is returned
    mosaic_sdk::QvPicGCSysParam gc = Plain();
    gc.picRotate = 45;
    EXPECT_EQ(-1, InitGroup(gc));
    EXPECT_TRUE(Logged("[MOSAIC_SDK]Picture param err", 60));

    ASSERT_EQ(0, InitGroup(Plain()));
    EXPECT_TRUE(Logged("[MOSAIC_SDK]QV Pic group control Init succ", 20));
    EXPECT_EQ(-1, InitGroup(Plain()));  // twice
    EXPECT_EQ(-1, sdk->Start(one, 0));
    EXPECT_EQ(-1, sdk->Start(nullptr, 1));
    // Nothing is accepted before the start finished.
    const int x[] = {1}, y[] = {1};
    const uint8_t key = 0x41;
    EXPECT_EQ(-1, sdk->SendTouchRaw(0, x, y, 1));
    EXPECT_EQ(-1, sdk->SendKey(1, &key));
    EXPECT_EQ(-1, sdk->AddInstance(one, 1));
    EXPECT_EQ(-1, sdk->SwitchMain("P-1"));
    EXPECT_EQ(0, sdk->Uninit());
    EXPECT_TRUE(Logged("[MOSAIC_SDK]QV Pic group control Uninit succ", 20));
    EXPECT_EQ(0, sdk->Uninit());
}

TEST_F(LifecycleTest, StartGivesEachNodeItsRangeAndReportsSuccessOnce) {
    mosaic_sdk::QvPicGCSysParam gc = Plain();
    gc.secureWebSocket = true;  // the nodes speak TLS here
    StartReady(gc);
    EXPECT_TRUE(Logged("[MOSAIC_SDK]QV Pic group control Start", 20));
    EXPECT_TRUE(Logged("[MOSAIC_SDK]AddGCNode [node-a] succ", 20));
    EXPECT_EQ(this, notic->UserData());
    auto instancesOf = [](const peers::NodePeer& node) {
        std::vector<std::string> list;
        for (auto& i : node.Instances()) list.push_back(i.instanceNo + "/" + i.sessionId + "/" + i.uid);
        return list;
    };
    EXPECT_EQ((std::vector<std::string>{"P-1/session-P-1/group-user", "P-3/session-P-3/group-user",
                                        "P-5/session-P-5/group-user"}),
              instancesOf(*nodeA));
    EXPECT_EQ((std::vector<std::string>{"P-2/session-P-2/group-user", "P-4/session-P-4/group-user"}),
              instancesOf(*nodeB));
    const auto start = nodeA->PackagesOf(kStartControlReq)[0].json;
    EXPECT_EQ(720u, start["streamConf"]["width"].asUInt());
    EXPECT_EQ(1280u, start["streamConf"]["height"].asUInt());
    EXPECT_EQ("", start["streamConf"]["app"].asString());

    // The whole table, refused instance included, once the nodes' status arrived.
    nodeA->SetInstanceState("P-3", 2, 0, true);
    ASSERT_TRUE(WaitUntil([&] {
        sdk->QueryInstanceStatus();
        auto table = notic->Table();
        return table.size() == 6 && table[1].state == 2;
    })) << "no status answer in the table";
    auto table = notic->Table();
    EXPECT_STREQ("P-3", table[1].instanceNo);
    EXPECT_TRUE(table[1].isProxy);
    EXPECT_EQ(720, table[1].width);
    EXPECT_STREQ("P-6", table[5].instanceNo);
    EXPECT_EQ(4, table[5].state);
    EXPECT_EQ(40401, table[5].errCode);

    const char* again[] = {"P-1"};
    EXPECT_EQ(-1, sdk->Start(again, 1));
    EXPECT_EQ(1, notic->CountCode(0));
    EXPECT_EQ(1u, platform->CallsTo(platform_peer::kGroupControlPath).size());
}

TEST_F(LifecycleTest, PlatformFailuresEndTheStartWithOneNotice) {
    struct Case {
        int status;
        std::string body;
        int code;
        std::string line;
    };
    const std::vector<Case> cases = {
        {500, "{}", 60710002, "[MOSAIC_SDK]GetPhoneGroupControlConnect get http code [500]"},
        {200, R"({"code":40301,"msg":"not yours"})", 40301, "[MOSAIC_SDK]GetPhoneGroupControlConnect get code [40301]"},
        {200, OkBody(Json::Value(Json::objectValue)), 60711001,
         "[MOSAIC_SDK]GetPhoneGroupControlConnect can not get node service"},
    };
    ASSERT_EQ(0, InitGroup(Plain()));
    for (const auto& c : cases) {
        platform->Script(platform_peer::kGroupControlPath, c.status, c.body);
        const size_t before = notic->Errors().size();
        ASSERT_EQ(0, StartGroup());
        ASSERT_TRUE(WaitUntil([&] { return notic->Errors().size() == before + 1; })) << c.line;
        EXPECT_EQ(c.code, notic->Errors().back().first);
        EXPECT_TRUE(Logged(c.line, 60)) << c.line;
    }
    EXPECT_EQ("not yours", notic->Errors()[1].second);
    EXPECT_EQ("Http Req for phone-group-control-connect can not get node service", notic->Errors()[2].second);
    // A failed start can be followed by a good one.
    ScriptTwoNodes();
    ASSERT_EQ(0, StartGroup());
    ASSERT_TRUE(WaitUntil([&] { return notic->CountCode(0) == 1; }));
}

// An application may end the group from the notification of its start.
class UninitOnNotice : public GroupRecorder {
public:
    void OnErrorNotic(int code, const char* msg, void* userData) override {
        GroupRecorder::OnErrorNotic(code, msg, userData);
        if (group) uninitResult = group->Uninit();
    }
    mosaic_sdk::IMosaicSdk* group = nullptr;
    std::atomic<int> uninitResult{-2};
};

TEST_F(LifecycleTest, UninitFromTheStartNotificationReturns) {
    auto ending = std::make_shared<UninitOnNotice>();
    ending->group = sdk.get();
    notic = ending;
    platform->Script(platform_peer::kGroupControlPath, 500, "{}");
    ASSERT_EQ(0, InitGroup(Plain()));
    ASSERT_EQ(0, StartGroup());
    ASSERT_TRUE(WaitUntil([&] { return ending->uninitResult.load() == 0; }));
    // And from the success notice, on a node link's thread or the platform client's.
    notic = std::make_shared<UninitOnNotice>();
    auto second = std::static_pointer_cast<UninitOnNotice>(notic);
    second->group = sdk.get();
    ScriptTwoNodes();
    ASSERT_EQ(0, InitGroup(Plain()));
    ASSERT_EQ(0, StartGroup());
    ASSERT_TRUE(WaitUntil([&] { return second->uninitResult.load() == 0; }));
    EXPECT_EQ(0, InitGroup(Plain()));
}

TEST_F(LifecycleTest, UnreachablePlatformReportsTheTransferFailure) {
    uint16_t closedPort = 0;
    {
        peers::HttpServer gone([](const peers::HttpRequest&) { return peers::HttpReply(); });
        closedPort = gone.Port();
    }
    mosaic_sdk::QvDataParam data = Data();
    std::snprintf(data.baseUrl, sizeof data.baseUrl, "http://127.0.0.1:%u", closedPort);
    const mosaic_sdk::QvPicGCSysParam gc = Plain();
    ASSERT_EQ(0, sdk->Init(phoneNotic, notic, &data, &gc, nullptr, nullptr, nullptr, nullptr));
    ASSERT_EQ(0, StartGroup());
    ASSERT_TRUE(WaitUntil([&] { return !notic->Errors().empty(); }));
    EXPECT_EQ(60710001, notic->Errors()[0].first);
    EXPECT_EQ("Http Req for phone-group-control-connect failed", notic->Errors()[0].second);
    EXPECT_TRUE(Logged("[MOSAIC_SDK]GetPhoneGroupControlConnect failed", 60));
}

// One node hangs before the WebSocket upgrade: the start is not reported
// while it has not answered, and Uninit does not wait for it.
TEST_F(LifecycleTest, AHangingNodeHoldsTheStartAndUninitStillReturns) {
    nodeA = std::make_unique<peers::NodePeer>();
    peers::SilentServer silent;
    platform->Script(platform_peer::kGroupControlPath, 200,
                     GroupAnswer({{"node-a", nodeA->Port(), {"P-1"}}, {"node-z", silent.Port(), {"P-2"}}},
                                 {"P-1", "P-2"}, {}));
    mosaic_sdk::QvPicGCSysParam gc = Plain();
    gc.connectTimeoutMs = 600000;
    ASSERT_EQ(0, InitGroup(gc));
    ASSERT_EQ(0, StartGroup());
    ASSERT_TRUE(nodeA->WaitForCount(kStartControlReq, 1, 30000));
    ASSERT_TRUE(silent.WaitUntil([&] { return silent.AcceptedCount() >= 1; }));
    EXPECT_EQ(0, notic->CountCode(0));
    EXPECT_EQ(-1, sdk->SendInputString("early"));
    EXPECT_EQ(0, sdk->Uninit());
    EXPECT_TRUE(silent.WaitUntil([&] { return silent.ClosedCount() >= 1; }));
    EXPECT_EQ(0, notic->CountCode(0));
    // And the object starts again from scratch.
    ScriptTwoNodes();
    ASSERT_EQ(0, InitGroup(Plain()));
    ASSERT_EQ(0, StartGroup());
    ASSERT_TRUE(WaitUntil([&] { return notic->CountCode(0) == 1; }));
}

// A node that refuses the registration reports through the group's notic;
// being disconnected counts as having answered.
TEST_F(LifecycleTest, RegisterRefusalIsForwardedAndCountsAsAnswered) {
    ScriptTwoNodes();
    nodeB->SetRegisterAnswer(40001, "who are you");
    ASSERT_EQ(0, InitGroup(Plain()));
    ASSERT_EQ(0, StartGroup());
    ASSERT_TRUE(WaitUntil([&] { return notic->CountCode(0) == 1; }));
    ASSERT_TRUE(WaitUntil([&] { return !notic->GCErrors().empty(); }));
    EXPECT_EQ(1, notic->GCErrors()[0].type);
    EXPECT_EQ(40001, notic->GCErrors()[0].code);
    EXPECT_TRUE(WaitUntil([&] { return Logged("[MOSAIC_SDK]QV Pic GC node [node-b] disconnected", 20); }));
    EXPECT_EQ(0u, nodeB->CountOf(kStartControlReq));
}

TEST_F(LifecycleTest, ControlStartsAgainAfterEveryReconnection) {
    StartReady();
    for (size_t round = 2; round <= 3; ++round) {
        // A closed connection, then one cut without a close frame.
        if (round == 2) nodeB->CloseAll();
        else nodeB->DropAll();
        ASSERT_TRUE(nodeB->WaitForCount(kStartControlReq, round, 30000)) << round;
        EXPECT_EQ(2u, nodeB->Instances().size());
    }
    EXPECT_TRUE(Logged("[MOSAIC_SDK]QV Pic GC node [node-b] connecting", 20));
    EXPECT_EQ(1u, nodeA->CountOf(kStartControlReq));
    // Input passes the reconnected node again.
    ASSERT_TRUE(WaitUntil([&] {
        sdk->SendInputString("after");
        return !Inputs(*nodeB).empty();
    }));
}

}  // namespace
}  // namespace mosaic_test
