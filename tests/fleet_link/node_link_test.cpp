// Connection life cycle of one node link against local peers: registration,
// heartbeats, losses, time-outs and reconnects.
#include <gtest/gtest.h>

#include <chrono>

#include "node_fixture.h"
#include "peers/node_peer.h"
#include "peers/silent_server.h"

namespace fleet_link_test {
namespace {

namespace msg = peers::node_msg;
constexpr int64_t kT0 = 1700000000000;

bool HasHeartbeatAt(const peers::NodePeer& peer, int64_t ts) {
    for (const auto& p : peer.PackagesOf(msg::kHeartBeatReq)) {
        if (p.json["ts"].isInt64() && p.json["ts"].asInt64() == ts) return true;
    }
    return false;
}

class NodeLinkTest : public NodeTest, public ::testing::WithParamInterface<bool> {};

TEST_P(NodeLinkTest, RegistersAndAnswersHeartbeatsWithHalfTheRoundTrip) {
    peers::NodePeer peer(GetParam());
    peer.SetEchoHeartbeat(false);  // only the heartbeat sent below is answered
    node->Clock().Fix(kT0);
    StartRegistered(peer);
    EXPECT_EQ(std::vector<int>{2}, notic->Statuses());
    NodeEvent connected = notic->Events().front();
    EXPECT_EQ("node-a", connected.nodeName);
    EXPECT_EQ(kUserData, connected.userData);

    auto registers = peer.PackagesOf(msg::kRegisterReq);
    ASSERT_EQ(1u, registers.size());
    EXPECT_EQ(R"({"clientType":3,"sdkVersion":"1.1.0"})", registers[0].body);
    EXPECT_TRUE(logs.Has("[FLEET_LINK]ConnId[conn-1] Register succ"));
    EXPECT_TRUE(logs.Has("[FLEET_LINK]ParseRegisterRsp: ConnId[conn-1], code[0],  message[success]"));

    // The client's heartbeat carries its connection id and its clock.
    ASSERT_TRUE(peer.WaitForCount(msg::kHeartBeatReq, 1));
    auto beat = peer.PackagesOf(msg::kHeartBeatReq)[0].json;
    EXPECT_EQ("conn-1", beat["connId"].asString());
    EXPECT_EQ(kT0, beat["ts"].asInt64());

    // A heartbeat of the node is answered with half the time since its ts.
    peer.ClearPackages();
    Json::Value nodeBeat;
    nodeBeat["connId"] = "conn-1";
    nodeBeat["ts"] = Json::Int64(kT0 - 301);
    ASSERT_TRUE(peer.SendJson(msg::kHeartBeatReq, nodeBeat));
    ASSERT_TRUE(peer.WaitUntil([&] {
        for (const auto& p : peer.PackagesOf(msg::kHeartBeatRsp)) {
            if (p.json["delay"].asInt64() == 150) return true;
        }
        return false;
    }));
    auto answer = peer.PackagesOf(msg::kHeartBeatRsp).back();
    EXPECT_EQ("conn-1", answer.json["connId"].asString());
    EXPECT_EQ(2u, answer.json.size());
    EXPECT_EQ(150, node->Delay());
}

INSTANTIATE_TEST_SUITE_P(PlainAndTls, NodeLinkTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Tls" : "Plain"; });

TEST_F(NodeTest, RefusedRegistrationReportsTypeOneAndNeverReconnects) {
    peers::NodePeer peer;
    peer.SetRegisterAnswer(4001, "bad version");
    ASSERT_EQ(0, StartNode(peer.Url(), {true, 0, 20, 3000}));
    ASSERT_TRUE(notic->WaitForCount("error", 1));
    NodeEvent error = notic->Events().front();
    EXPECT_EQ(1, error.errType);
    EXPECT_EQ(4001, error.code);
    EXPECT_EQ("bad version", error.msg);
    EXPECT_TRUE(error.errors.empty());
    EXPECT_TRUE(logs.Has("[FLEET_LINK]ConnId[] Register failed, code[4001], msg[bad version]"));

    ASSERT_TRUE(notic->WaitForStatus(0));
    // The given-up connection is closed rather than left open.
    ASSERT_TRUE(peer.WaitUntil([&] { return peer.ClosedCount() == 1; }));
    ASSERT_TRUE(harness.Barrier(200));  // ten reconnect intervals
    EXPECT_EQ(1u, peer.AcceptedCount());
    EXPECT_FALSE(logs.Has("Start reconnect websocket timer"));
    EXPECT_EQ(std::vector<int>{0}, notic->Statuses());
    EXPECT_EQ(-1, node->InputString("x"));
}

TEST_F(NodeTest, HeartbeatAtExactlyTenSecondsStillGoesOutOneMillisecondMoreReconnects) {
    peers::NodePeer peer;
    peer.SetEchoHeartbeat(false);
    node->Clock().Fix(kT0);
    StartRegistered(peer);

    node->Clock().Fix(kT0 + 10000);
    ASSERT_TRUE(peer.WaitUntil([&] { return HasHeartbeatAt(peer, kT0 + 10000); }));
    EXPECT_FALSE(logs.Has("greater than"));

    node->Clock().Fix(kT0 + 10001);
    ASSERT_TRUE(logs.WaitFor("[FLEET_LINK]ConnId[conn-1] delay for[10001] greater than [10000]; reconnect ws"));
    ASSERT_TRUE(notic->WaitForStatus(2, 2));
    EXPECT_EQ((std::vector<int>{2, 0, 1, 2}), notic->Statuses());
    EXPECT_EQ(2u, peer.AcceptedCount());
    EXPECT_TRUE(peer.WaitUntil([&] { return peer.ClosedCount() == 1; }));  // the silent connection was ended
    EXPECT_EQ("conn-2", peer.ConnIdOf(2));
    EXPECT_FALSE(logs.Has("[FLEET_LINK]AddHttpReq failed"));
}

// Bounds below are far under the 10 s heartbeat rule, yet generous for a loaded machine.
constexpr auto kPromptly = std::chrono::seconds(8);
constexpr NodeOptions kProductTiming{true, 0, 2000, 10000};  // the link's default intervals

TEST_F(NodeTest, ServerCloseIsFollowedByReconnectWithStatusZeroOneTwo) {
    peers::NodePeer peer;
    StartRegistered(peer, kProductTiming);
    auto closed = std::chrono::steady_clock::now();
    peer.CloseAll();
    ASSERT_TRUE(notic->WaitForStatus(2, 2, 30000));
    EXPECT_LT(std::chrono::steady_clock::now() - closed, kPromptly);
    EXPECT_EQ((std::vector<int>{2, 0, 1, 2}), notic->Statuses());
    EXPECT_EQ(2u, peer.AcceptedCount());
    EXPECT_EQ(2u, peer.CountOf(msg::kRegisterReq));
    EXPECT_TRUE(peer.WaitUntil([&] { return peer.OpenCount() == 1; }));
    EXPECT_FALSE(logs.Has("greater than"));
}

TEST_F(NodeTest, TcpDropIsFollowedByReRegistrationWithinTheReconnectInterval) {
    peers::NodePeer peer;
    StartRegistered(peer, kProductTiming);
    auto dropped = std::chrono::steady_clock::now();
    peer.DropAll();
    ASSERT_TRUE(notic->WaitForStatus(2, 2, 30000));
    EXPECT_LT(std::chrono::steady_clock::now() - dropped, kPromptly);
    EXPECT_EQ((std::vector<int>{2, 0, 1, 2}), notic->Statuses());
    EXPECT_EQ("conn-2", peer.ConnIdOf(2));
    EXPECT_FALSE(logs.Has("greater than"));
}

TEST_F(NodeTest, RefusedConnectIsRetriedWithoutWaitingForTheConnectTimeout) {
    std::string url;
    {
        peers::NodePeer gone;  // its port is free again once it is gone
        url = gone.Url();
    }
    auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(0, StartNode(url, {true, 0, 1000, 30000}));
    // Refused, retried after the interval, refused again.
    ASSERT_TRUE(notic->WaitForStatus(0, 2, 30000));
    EXPECT_LT(std::chrono::steady_clock::now() - start, kPromptly);
    auto statuses = notic->Statuses();
    ASSERT_GE(statuses.size(), 3u);
    EXPECT_EQ((std::vector<int>{0, 1, 0}), std::vector<int>(statuses.begin(), statuses.begin() + 3));
    EXPECT_FALSE(logs.Has("rescode timeout"));
}

TEST_F(NodeTest, ConnectTimesOutAfterThe501stPollAndClosesTheAttempt) {
    peers::SilentServer silent;
    ASSERT_EQ(0, StartNode(silent.Url(), {false, 0, 50, 5000}));
    ASSERT_TRUE(logs.WaitFor("[FLEET_LINK]get websocket rescode timeout", 30000));
    ASSERT_TRUE(notic->WaitForStatus(0));
    EXPECT_EQ(501, node->CheckCount());
    EXPECT_TRUE(silent.WaitUntil([&] { return silent.ClosedCount() == 1; }));
    ASSERT_TRUE(harness.Barrier(100));
    EXPECT_EQ(std::vector<int>{0}, notic->Statuses());
    EXPECT_EQ(1u, silent.AcceptedCount());
}

TEST_F(NodeTest, GivenUpAttemptIsClosedBeforeTheSameHandleIsAddedAgain) {
    peers::SilentServer silent;
    ASSERT_EQ(0, StartNode(silent.Url(), {true, 0, 20, 100}));
    ASSERT_TRUE(silent.WaitUntil([&] { return silent.AcceptedCount() >= 3 && silent.ClosedCount() >= 2; }));
    auto statuses = notic->Statuses();
    ASSERT_GE(statuses.size(), 2u);
    EXPECT_EQ(0, statuses[0]);
    EXPECT_EQ(1, statuses[1]);
    EXPECT_FALSE(logs.Has("[FLEET_LINK]AddHttpReq failed"));
}

TEST_F(NodeTest, RefusedUpgradeIsPolledUntilTheTimeout) {
    peers::NodePeer peer;
    peer.SetUpgradeStatus(404);
    ASSERT_EQ(0, StartNode(peer.Url(), {false, 0, 50, 300}));
    ASSERT_TRUE(logs.WaitFor("[FLEET_LINK]get websocket rescode timeout"));
    EXPECT_EQ(31, node->CheckCount());
    EXPECT_FALSE(logs.Has("[FLEET_LINK]get websocket rescode:"));
    EXPECT_EQ(0u, peer.AcceptedCount());
}

TEST_F(NodeTest, NegativeResponseCodeStopsPollingAtOnce) {
    peers::SilentServer silent;
    ASSERT_EQ(0, StartNode(silent.Url(), {true, 0, 50, 60000}));
    ASSERT_TRUE(silent.WaitUntil([&] { return silent.AcceptedCount() == 1; }));
    // Resetting the handle leaves it without a transfer: its code reads -1.
    harness.Engine()->DelHttpReq(node->Handle(), false, nullptr, nullptr);
    ASSERT_TRUE(logs.WaitFor("[FLEET_LINK]get websocket rescode:-1"));
    ASSERT_TRUE(harness.Barrier(100));  // ten poll periods
    EXPECT_EQ(1u, logs.Count("[FLEET_LINK]get websocket rescode:-1"));
    EXPECT_FALSE(logs.Has("rescode timeout"));
    EXPECT_TRUE(notic->Statuses().empty());
}

TEST_F(NodeTest, InitRefusesMissingArgumentsAndASecondInit) {
    EXPECT_EQ(-1, node->Init(nullptr, notic, "ws://127.0.0.1:1/x", "1", "n", true, 0, 50, 100, nullptr));
    EXPECT_EQ(-1, node->Init(harness.Engine(), notic, nullptr, "1", "n", true, 0, 50, 100, nullptr));
    node->UnInit();  // never initialised: nothing happens
    EXPECT_FALSE(logs.Has("UnInit Group control node"));

    peers::NodePeer peer;
    StartRegistered(peer);
    EXPECT_EQ(-1, StartNode(peer.Url()));
    node->UnInit();
    EXPECT_TRUE(logs.Has("[FLEET_LINK]UnInit Group control node [node-a] succ"));
    EXPECT_EQ(-1, node->StopControl());

    // A node comes back after UnInit and Init.
    ASSERT_EQ(0, StartNode(peer.Url()));
    ASSERT_TRUE(notic->WaitForStatus(2, 2));
    EXPECT_EQ(0, node->StopControl());
}

}  // namespace
}  // namespace fleet_link_test
