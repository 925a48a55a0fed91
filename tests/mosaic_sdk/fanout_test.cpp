// Input fan-out and instance management against two node peers, without a
// main phone unless a test switches one in.
#include "group_peer_fixture.h"

namespace mosaic_test {
namespace {

using peers::node_msg::kAddInstanceReq;
using peers::node_msg::kInputReq;
using peers::node_msg::kReduceInstanceReq;
using peers::node_msg::kSwitchMainReq;

class FanOutTest : public GroupPeerTest {
protected:
    void SetUp() override {
        GroupPeerTest::SetUp();
        StartReady();
    }
    // Waits until both nodes received count inputs, and returns node A's (B's must match).
    std::vector<std::pair<int, Json::Value>> BothGot(size_t count) {
        EXPECT_TRUE(nodeA->WaitForCount(kInputReq, count, 30000));
        EXPECT_TRUE(nodeB->WaitForCount(kInputReq, count, 30000));
        auto a = Inputs(*nodeA);
        auto b = Inputs(*nodeB);
        EXPECT_EQ(a.size(), b.size());
        for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
            EXPECT_EQ(a[i].first, b[i].first) << i;
            EXPECT_EQ(a[i].second, b[i].second) << i;
        }
        return a;
    }
};

TEST_F(FanOutTest, EveryInputReachesEveryNodeOnceInOrder) {
    const int xs[] = {100, 200}, ys[] = {300, 400};
    EXPECT_EQ(0, sdk->SendTouchRaw(0, xs, ys, 2));
    EXPECT_EQ(0, sdk->SendTouchRaw(1, xs, ys, 1));
    const uint8_t a = 0x41, f11 = 0x7A;
    EXPECT_EQ(0, sdk->SendKey(1, &a));
    EXPECT_EQ(-1, sdk->SendKey(1, &f11));  // no phone code: sent nowhere
    EXPECT_EQ(-1, sdk->SendKey(1, nullptr));
    EXPECT_EQ(0, sdk->SendControlKey(1));
    EXPECT_EQ(-1, sdk->SendControlKey(7));
    EXPECT_EQ(0, sdk->SendVolume(1));
    EXPECT_EQ(0, sdk->SendVolume(0));
    EXPECT_EQ(0, sdk->SendInputString("say \"hi\""));
    EXPECT_EQ(0, sdk->SendCopyString("copied"));
    EXPECT_EQ(0, sdk->SendMsgTrans("svc", "{\"a\":1}"));
    EXPECT_EQ(0, sdk->SendLocation(1.5f, 2.5f, 0, 0, 0, 0, 0, 0));
    EXPECT_EQ(0, sdk->SendSensor(3, 0.5f, 1.0f, 2.0f));
    EXPECT_EQ(-1, sdk->SendInputString(nullptr));
    // Window coordinates need a main phone to convert them.
    EXPECT_EQ(-1, sdk->SendTouch(0, xs, ys, 1));
    EXPECT_EQ(0, sdk->OnImeMessage(258, 'x', 0, nullptr, 0));

    const auto in = BothGot(14);
    ASSERT_EQ(14u, in.size());
    EXPECT_EQ(7, in[0].first);
    EXPECT_EQ(0, in[0].second["touchType"].asInt());
    ASSERT_EQ(2u, in[0].second["touchInfos"].size());
    EXPECT_EQ(200, in[0].second["touchInfos"][1]["x"].asInt());
    EXPECT_EQ(400, in[0].second["touchInfos"][1]["y"].asInt());
    EXPECT_EQ(1, in[1].second["touchType"].asInt());
    EXPECT_EQ(3, in[2].first);
    EXPECT_EQ(30, in[2].second["key"].asInt());  // Windows 'A' -> KEY_A
    EXPECT_TRUE(in[2].second["isDown"].asBool());
    // BACK (0x9E) goes down and up as the signed 8-bit value.
    EXPECT_EQ(-98, in[3].second["key"].asInt());
    EXPECT_TRUE(in[3].second["isDown"].asBool());
    EXPECT_EQ(-98, in[4].second["key"].asInt());
    EXPECT_FALSE(in[4].second["isDown"].asBool());
    EXPECT_EQ(115, in[5].second["key"].asInt());
    EXPECT_EQ(115, in[6].second["key"].asInt());
    EXPECT_FALSE(in[6].second["isDown"].asBool());
    EXPECT_EQ(114, in[7].second["key"].asInt());
    EXPECT_EQ(1, in[9].first);
    EXPECT_EQ("say \"hi\"", in[9].second["str"].asString());
    EXPECT_EQ(2, in[10].first);
    EXPECT_EQ(10, in[11].first);
    EXPECT_EQ("svc", in[11].second["service"].asString());
    EXPECT_EQ(8, in[12].first);
    EXPECT_DOUBLE_EQ(1.5, in[12].second["longitude"].asDouble());
    EXPECT_DOUBLE_EQ(2.5, in[12].second["latitude"].asDouble());
    EXPECT_EQ(9, in[13].first);
    EXPECT_EQ(3, in[13].second["sensorType"].asInt());
    EXPECT_TRUE(Logged("[MOSAIC_SDK]Send android control key[BACK]", 20));
    EXPECT_TRUE(Logged("[MOSAIC_SDK]Send android key[158]", 20));
    EXPECT_TRUE(Logged("[MOSAIC_SDK]Send android Volume [up]", 20));
    EXPECT_TRUE(Logged("[MOSAIC_SDK]Send android Volume [down]", 20));
}

TEST_F(FanOutTest, PauseAndResumeGoToTheServingNodesOnly) {
    const char* numbers[] = {"P-2", "X-9", "P-1", "P-4"};
    EXPECT_EQ(0, sdk->ReduceInstance(numbers, 4));
    ASSERT_TRUE(nodeA->WaitForCount(kReduceInstanceReq, 1, 30000));
    ASSERT_TRUE(nodeB->WaitForCount(kReduceInstanceReq, 1, 30000));
    auto listOf = [](const peers::NodePeer& node, uint32_t type) {
        std::vector<std::string> list;
        const Json::Value body = node.PackagesOf(type).back().json;
        for (const auto& item : body["instanceList"]) list.push_back(item["instanceNo"].asString());
        return list;
    };
    EXPECT_EQ((std::vector<std::string>{"P-1"}), listOf(*nodeA, kReduceInstanceReq));
    EXPECT_EQ((std::vector<std::string>{"P-2", "P-4"}), listOf(*nodeB, kReduceInstanceReq));
    EXPECT_TRUE(Logged("[MOSAIC_SDK]unknown instance [X-9]", 40));
    EXPECT_EQ(0u, nodeB->Instances().size());

    EXPECT_EQ(0, sdk->AddInstance(numbers, 4));
    ASSERT_TRUE(nodeB->WaitForCount(kAddInstanceReq, 1, 30000));
    EXPECT_EQ((std::vector<std::string>{"P-2", "P-4"}), listOf(*nodeB, kAddInstanceReq));
    const char* refused[] = {"P-6"};
    EXPECT_EQ(0, sdk->AddInstance(refused, 1));
    EXPECT_TRUE(Logged("[MOSAIC_SDK]Unknown node [] while AddInstance", 60));
    EXPECT_EQ(-1, sdk->AddInstance(refused, 0));

    // A node's refusal is only logged.
    nodeA->SetAnswerCode(50001, "busy");
    const char* onA[] = {"P-3"};
    EXPECT_EQ(0, sdk->ReduceInstance(onA, 1));
    EXPECT_TRUE(WaitUntil([&] { return Logged("[MOSAIC_SDK]node [node-a] ReduceInstance error[50001][busy]", 60); }));
}

TEST_F(FanOutTest, TextForSingleFollowersIsGroupedByNode) {
    mosaic_sdk::InstanceInput records[4] = {};
    const char* data[4][2] = {{"P-1", "one"}, {"P-2", "two"}, {"X-9", "x"}, {"P-5", "five"}};
    for (int i = 0; i < 4; ++i) {
        std::strcpy(records[i].instanceNo, data[i][0]);
        std::strcpy(records[i].str, data[i][1]);
    }
    EXPECT_EQ(0, sdk->InputInstanceInput(records, 4));
    EXPECT_EQ(0, sdk->InputInstanceClipboard(records, 2));
    EXPECT_EQ(-1, sdk->InputInstanceInput(nullptr, 4));
    ASSERT_TRUE(nodeA->WaitForCount(kInputReq, 2, 30000));
    ASSERT_TRUE(nodeB->WaitForCount(kInputReq, 2, 30000));
    auto a = Inputs(*nodeA);
    EXPECT_EQ(11, a[0].first);
    ASSERT_EQ(2u, a[0].second["inputInfos"].size());
    EXPECT_EQ("P-1", a[0].second["inputInfos"][0]["instanceNo"].asString());
    EXPECT_EQ("five", a[0].second["inputInfos"][1]["str"].asString());
    EXPECT_EQ(12, a[1].first);
    EXPECT_EQ(1u, a[1].second["inputInfos"].size());
    auto b = Inputs(*nodeB);
    EXPECT_EQ("two", b[0].second["inputInfos"][0]["str"].asString());
    EXPECT_TRUE(Logged("[MOSAIC_SDK]unknown instance [X-9]", 40));
}

TEST_F(FanOutTest, SwitchMainTellsTheOldAndTheNewNode) {
    EXPECT_EQ(0, sdk->SwitchMain(""));  // no main phone yet: unchanged
    EXPECT_EQ(0, sdk->SwitchMain("P-2"));
    ASSERT_TRUE(nodeB->WaitForCount(kSwitchMainReq, 1, 30000));
    EXPECT_EQ("P-2", nodeB->MainInstance());
    EXPECT_EQ(0u, nodeA->CountOf(kSwitchMainReq));  // there was no main before
    EXPECT_EQ(0, sdk->SwitchMain("P-2"));           // the same: nothing sent

    EXPECT_EQ(0, sdk->SwitchMain("P-3"));
    ASSERT_TRUE(nodeA->WaitForCount(kSwitchMainReq, 1, 30000));
    ASSERT_TRUE(nodeB->WaitForCount(kSwitchMainReq, 2, 30000));
    EXPECT_EQ("P-3", nodeA->MainInstance());
    EXPECT_EQ("P-3", nodeB->MainInstance());
    std::string main;
    sdk->QueryInstanceStatus();
    notic->Table(&main);
    EXPECT_EQ("P-3", main);
    // Control after a reconnection names the new main instance.
    nodeA->CloseAll();
    ASSERT_TRUE(nodeA->WaitForCount(peers::node_msg::kStartControlReq, 2, 30000));
    EXPECT_EQ("P-3", nodeA->PackagesOf(peers::node_msg::kStartControlReq).back().json["mainInstanceNo"].asString());
}

}  // namespace
}  // namespace mosaic_test
