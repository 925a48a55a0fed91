// Group control end to end against the local cloud: the platform names the
// nodes and sessions, the real node link registers and controls, and every
// copied input shows on every follower, scaled to its own screen.
#include <algorithm>
#include <cstring>
#include <set>

#include "group_harness.h"
#include "picture_decoder.h"

namespace cloudsim_test {
namespace {

using fleet_link_test::WaitUntil;

class GroupControlTest : public GroupFixture {
protected:
    void SetUp() override {
        StartCloud();
        ASSERT_EQ(group.size(), 7u);
        main = group.front();
        answer = Connect(group);
        ASSERT_TRUE(answer);
        LinkNodes(*answer);
        StartControl(main);
    }

    // The accepted instances other than the main one.
    std::vector<std::string> Followers() const {
        std::vector<std::string> followers;
        for (const auto& session : answer->successList) {
            if (session.instanceNo != main) followers.push_back(session.instanceNo);
        }
        return followers;
    }

    void SendToAll(const std::function<void(fleet_link::IPicGCWSNodeInterface&)>& send) {
        for (auto& link : links) send(*link.link);
    }

    std::string main;
    std::shared_ptr<plat_client::PhoneGroupControlConnectRsp> answer;
};

TEST_F(GroupControlTest, ConnectNamesBothNodesSessionsAndTheRefusedInstance) {
    EXPECT_EQ(answer->code, 0);
    ASSERT_EQ(answer->successList.size(), 6u);
    ASSERT_EQ(answer->failList.size(), 1u);
    EXPECT_EQ(answer->failList[0].instanceNo, group.back());
    EXPECT_EQ(answer->failList[0].errorCode, 40901);
    ASSERT_EQ(answer->idcServerNodeList.size(), 2u);
    std::set<std::string> nodes;
    for (const auto& node : answer->idcServerNodeList) {
        nodes.insert(node.idcServerNodeNo);
        EXPECT_EQ(node.nodeIp, "127.0.0.1");
        EXPECT_EQ(node.nodePort, cloud->NodePort(node.idcServerNodeNo));
    }
    EXPECT_EQ(nodes, (std::set<std::string>{"gc-node-01", "gc-node-02"}));
    for (const auto& session : answer->successList) {
        EXPECT_FALSE(session.sessionId.empty());
        EXPECT_TRUE(nodes.count(session.gCtrlNodeNo)) << session.gCtrlNodeNo;
    }
    // Both nodes hold their three instances, one of them led by the main phone.
    for (const auto& link : links) {
        cloudsim::NodeView view;
        ASSERT_TRUE(cloud->Node(link.nodeNo, view));
        ASSERT_EQ(view.connections.size(), 1u);
        EXPECT_EQ(view.connections[0].instances.size(), 3u);
        EXPECT_EQ(view.connections[0].mainInstanceNo, main);
        for (const auto& instance : view.connections[0].instances) {
            EXPECT_EQ(instance.state, cloudsim::kNodeInstanceControlled) << instance.instanceNo;
        }
    }
}

TEST_F(GroupControlTest, RegistrationAndHeartbeatsAreAnsweredAndRecorded) {
    for (const auto& link : links) {
        ASSERT_TRUE(WaitUntil(
            [&] {
                cloudsim::NodeView view;
                return cloud->Node(link.nodeNo, view) && !view.connections.empty() &&
                       view.connections[0].lastDelayMs >= 0;
            },
            20000))
            << link.nodeNo;
        const auto messages = cloud->NodeMessages(link.nodeNo);
        ASSERT_FALSE(messages.empty());
        EXPECT_EQ(messages[0].kind, "register");
        EXPECT_EQ(messages[0].body["clientType"].asInt(), 3);
        EXPECT_EQ(messages[0].body["sdkVersion"].asString(), "1.1.0");
        EXPECT_EQ(messages[0].code, 0);
        const std::string connId = messages[0].connId;
        EXPECT_EQ(connId.rfind(link.nodeNo + "-conn-", 0), 0u) << connId;
        size_t heartbeats = 0;
        size_t starts = 0;
        for (const auto& message : messages) {
            if (message.kind == "heartbeat") ++heartbeats;
            if (message.kind == "startControl") {
                ++starts;
                EXPECT_EQ(message.connId, connId);
                EXPECT_EQ(message.body["mainInstanceNo"].asString(), main);
            }
            EXPECT_EQ(message.error, "") << message.kind;
        }
        EXPECT_GE(heartbeats, 1u);
        EXPECT_EQ(starts, 1u);
    }
}

TEST_F(GroupControlTest, EveryInputReachesEveryFollowerScaledToItsScreen) {
    const auto followers = Followers();
    ASSERT_EQ(followers.size(), 5u);
    // Tap the text field of the 720 x 1280 main phone, then type.
    const int xs[] = {360};
    const int ys[] = {140};
    SendToAll([&](fleet_link::IPicGCWSNodeInterface& node) { EXPECT_EQ(node.InputTouch(0, xs, ys, 1), 0); });
    SendToAll([&](fleet_link::IPicGCWSNodeInterface& node) { EXPECT_EQ(node.InputTouch(1, xs, ys, 1), 0); });
    SendToAll([&](fleet_link::IPicGCWSNodeInterface& node) {
        EXPECT_EQ(node.InputKeyboard(true, 30), 0);  // a
        EXPECT_EQ(node.InputKeyboard(false, 30), 0);
        EXPECT_EQ(node.InputString("bc"), 0);
        EXPECT_EQ(node.InputClipboard("copied"), 0);
        EXPECT_EQ(node.InputKeyboard(true, 115), 0);  // volume up
        EXPECT_EQ(node.InputKeyboard(false, 115), 0);
        EXPECT_EQ(node.InputSensor(1, 0.5f, 1.5f, 9.75f), 0);
        EXPECT_EQ(node.InputPosition(116.25f, 39.5f), 0);
        EXPECT_EQ(node.InputMsg("svc", "hello"), 0);
        EXPECT_EQ(node.InputMouseMove(72, 128), 0);
    });
    std::set<std::pair<int, int>> sizes;
    for (const auto& follower : followers) {
        ASSERT_TRUE(WaitForNodeInputs(follower, "mouseMove", 1)) << follower;
        const cloudsim::PhoneView view = View(follower);
        sizes.insert({view.width, view.height});
        EXPECT_EQ(view.text, "abc") << follower;
        EXPECT_EQ(view.clipboard, "copied") << follower;
        EXPECT_EQ(view.volume, 9) << follower;
        EXPECT_TRUE(view.focused) << follower;
        EXPECT_EQ(view.lastTouchX, 360 * view.width / 720) << follower;
        EXPECT_EQ(view.lastTouchY, 140 * view.height / 1280) << follower;

        const auto touches = NodeInputs(follower, "touch");
        ASSERT_EQ(touches.size(), 2u);
        EXPECT_EQ(touches[0].fields["action"].asInt(), 0);
        EXPECT_EQ(touches[0].fields["points"][0][0].asInt(), 360 * view.width / 720);
        EXPECT_EQ(touches[0].fields["sourcePoints"][0][0].asInt(), 360);
        EXPECT_EQ(touches[0].fields["via"].asString(), "node");
        EXPECT_EQ(NodeInputs(follower, "key").size(), 4u);
        const auto sensor = NodeInputs(follower, "sensor");
        ASSERT_EQ(sensor.size(), 1u);
        EXPECT_DOUBLE_EQ(sensor[0].fields["z"].asDouble(), 9.75);
        EXPECT_EQ(NodeInputs(follower, "position").size(), 1u);
        EXPECT_EQ(NodeInputs(follower, "msgTrans")[0].fields["msg"].asString(), "hello");
        EXPECT_EQ(NodeInputs(follower, "mouseMove")[0].fields["points"][0][1].asInt(), 128 * view.height / 1280);
        for (const auto& input : NodeInputs(follower)) {
            EXPECT_GT(input.timeUs, 0);
        }
    }
    EXPECT_GE(sizes.size(), 2u);  // followers of more than one screen size
    // The main phone takes its input from its own stream, not from the nodes.
    EXPECT_TRUE(NodeInputs(main).empty());
    EXPECT_EQ(View(main).text, "");
}

TEST_F(GroupControlTest, ControlKeysAndPerInstanceTextReachTheirPhones) {
    const auto followers = Followers();
    // Tap the text field so typed text lands, then send per-instance text.
    const int xs[] = {360};
    const int ys[] = {140};
    SendToAll([&](fleet_link::IPicGCWSNodeInterface& node) { node.InputTouch(0, xs, ys, 1); });
    fleet_link::InstanceInput first{};
    std::strncpy(first.instanceNo, followers[0].c_str(), 255);
    std::strncpy(first.str, "only-me", 255);
    const fleet_link::InstanceInput* infos[] = {&first};
    EXPECT_EQ(LinkOf(followers[0]).link->InputInstanceInput(infos, 1), 0);
    EXPECT_EQ(LinkOf(followers[0]).link->InputInstanceClipboard(infos, 1), 0);
    ASSERT_TRUE(WaitForNodeInputs(followers[0], "instanceClipboard", 1));
    EXPECT_EQ(View(followers[0]).text, "only-me");
    EXPECT_EQ(View(followers[0]).clipboard, "only-me");
    EXPECT_EQ(View(followers[1]).text, "");
    EXPECT_TRUE(NodeInputs(followers[1], "instanceInput").empty());

    // HOME (172) travels as the signed byte -84 and closes the keyboard everywhere.
    SendToAll([&](fleet_link::IPicGCWSNodeInterface& node) {
        node.InputKeyboard(true, static_cast<int8_t>(0xAC));
        node.InputKeyboard(false, static_cast<int8_t>(0xAC));
    });
    for (const auto& follower : followers) {
        ASSERT_TRUE(WaitForNodeInputs(follower, "key", 2)) << follower;
        EXPECT_EQ(NodeInputs(follower, "key")[0].fields["key"].asInt(), 172);
        EXPECT_FALSE(View(follower).focused) << follower;
    }
}

TEST_F(GroupControlTest, ReducedInstancesMissInputUntilAddedBack) {
    const auto followers = Followers();
    const std::string paused = followers[1];
    NodeLink& link = LinkOf(paused);
    const char* names[] = {paused.c_str()};
    ASSERT_EQ(link.link->ReduceInstance(names, 1), 0);
    ASSERT_TRUE(link.notic->WaitForCount("reduce", 1));
    EXPECT_EQ(link.notic->Events().back().code, 0);

    SendToAll([](fleet_link::IPicGCWSNodeInterface& node) { node.InputClipboard("while-paused"); });
    for (const auto& follower : followers) {
        if (follower != paused) {
            ASSERT_TRUE(WaitForNodeInputs(follower, "copyString", 1)) << follower;
        }
    }
    ASSERT_EQ(link.link->QueryInstanceStatus(), 0);
    ASSERT_TRUE(link.notic->WaitForCount("query", 1));
    const auto events = link.notic->Events();  // a copy: the loop reads into it
    for (const auto& state : events.back().states) {
        if (paused == state.instanceNo) {
            EXPECT_EQ(state.state, cloudsim::kNodeInstanceReduced);
        }
    }
    EXPECT_TRUE(NodeInputs(paused).empty());

    ASSERT_EQ(link.link->AddInstance(names, 1), 0);
    ASSERT_TRUE(link.notic->WaitForCount("add", 1));
    EXPECT_EQ(link.notic->Events().back().code, 0);
    SendToAll([](fleet_link::IPicGCWSNodeInterface& node) { node.InputClipboard("resumed"); });
    ASSERT_TRUE(WaitForNodeInputs(paused, "copyString", 1));
    EXPECT_EQ(View(paused).clipboard, "resumed");

    // An instance the connection does not control is named in the refusal.
    const char* stranger[] = {"CP-DEMO-0001"};
    ASSERT_EQ(link.link->ReduceInstance(stranger, 1), 0);
    ASSERT_TRUE(link.notic->WaitForCount("reduce", 2));
    EXPECT_EQ(link.notic->Events().back().code, 40405);
    EXPECT_NE(link.notic->Events().back().msg.find("CP-DEMO-0001"), std::string::npos);

    // The node's record names every control request it got.
    std::vector<std::string> kinds;
    for (const auto& message : cloud->NodeMessages(link.nodeNo)) {
        if (message.kind != "heartbeat" && message.kind != "heartbeatAnswer" && message.kind != "input") {
            kinds.push_back(message.kind);
        }
    }
    EXPECT_EQ(kinds, (std::vector<std::string>{"register", "startControl", "reduceInstance", "queryInstanceStatus",
                                               "addInstance", "reduceInstance"}));
}

TEST_F(GroupControlTest, SwitchMainMovesWhichPhoneIsLeftOut) {
    const auto followers = Followers();
    const std::string newMain = followers[0];
    SendToAll([&](fleet_link::IPicGCWSNodeInterface& node) { EXPECT_EQ(node.SwitchMain(newMain.c_str()), 0); });
    for (auto& link : links) {
        ASSERT_TRUE(link.notic->WaitForCount("switch", 1));
        EXPECT_EQ(link.notic->Events().back().code, 0);
    }
    SendToAll([](fleet_link::IPicGCWSNodeInterface& node) { node.InputClipboard("after-switch"); });
    ASSERT_TRUE(WaitForNodeInputs(main, "copyString", 1));
    EXPECT_EQ(View(main).clipboard, "after-switch");
    for (size_t i = 1; i < followers.size(); ++i) {
        ASSERT_TRUE(WaitForNodeInputs(followers[i], "copyString", 1));
    }
    EXPECT_TRUE(NodeInputs(newMain).empty());
    cloudsim::NodeView view;
    ASSERT_TRUE(cloud->Node(LinkOf(newMain).nodeNo, view));
    EXPECT_EQ(view.connections[0].mainInstanceNo, newMain);
}

TEST_F(GroupControlTest, StatusAnswersCarryEachPhonesRealScreenSize) {
    std::set<std::string> reported;
    for (auto& link : links) {
        ASSERT_EQ(link.link->QueryInstanceStatus(), 0);
        ASSERT_TRUE(link.notic->WaitForCount("query", 1));
        const auto event = link.notic->Events().back();
        EXPECT_EQ(event.code, 0);
        ASSERT_EQ(event.states.size(), 3u);
        for (const auto& state : event.states) {
            const cloudsim::PhoneView view = View(state.instanceNo);
            EXPECT_EQ(state.width, view.width) << state.instanceNo;
            EXPECT_EQ(state.height, view.height) << state.instanceNo;
            EXPECT_EQ(state.state, cloudsim::kNodeInstanceControlled);
            EXPECT_EQ(state.errCode, 0);
            EXPECT_FALSE(state.isProxy);
            reported.insert(state.instanceNo);
        }
    }
    EXPECT_EQ(reported.size(), 6u);
}

TEST_F(GroupControlTest, ScreenshotsAreJpegsOfEachPhoneThatFollowItsScreen) {
    plat_client::ScreenshotReq request;
    request.pictureQuality = 25;
    request.pictureScale = 5;
    request.pictureRotate = 0;
    request.intervalTime = 1000;
    ASSERT_EQ(platform->Screenshot(request, group, nullptr, nullptr), 0);
    const auto pictures = answers->WaitScreenshot();
    ASSERT_TRUE(pictures);
    EXPECT_EQ(pictures->code, 0);
    ASSERT_EQ(pictures->data.size(), group.size());
    const std::string follower = Followers()[1];
    std::string url;
    for (const auto& item : pictures->data) {
        if (follower == item.instanceNo) url = item.picUrl;
    }
    ASSERT_EQ(url.rfind(cloud->HttpsUrl() + "/screenshot/", 0), 0u) << url;

    auto fetch = [&](Picture& picture) {
        std::string body;
        ASSERT_EQ(platform->HttpGet(url.c_str(), follower.c_str(), nullptr), 0);
        ASSERT_TRUE(answers->WaitDownload(follower, body));
        ASSERT_TRUE(DecodeJpeg(body, picture));
    };
    Picture before;
    fetch(before);
    const cloudsim::PhoneView view = View(follower);
    EXPECT_EQ(before.width, view.width);
    EXPECT_EQ(before.height, view.height);
    // A copied tap at the screen's middle shows as the touch marker, scaled.
    const int xs[] = {360};
    const int ys[] = {700};
    LinkOf(follower).link->InputTouch(0, xs, ys, 1);
    ASSERT_TRUE(WaitForNodeInputs(follower, "touch", 1));
    const int x = 360 * view.width / 720;
    const int y = 700 * view.height / 1280;
    EXPECT_FALSE(MarkerAt(before, x, y));
    Picture after;
    fetch(after);
    EXPECT_TRUE(MarkerAt(after, x, y));
}

TEST_F(GroupControlTest, ARestartedNodeIsReachedAgainAndForgetsItsControl) {
    NodeLink& link = links.front();
    const uint16_t port = cloud->NodePort(link.nodeNo);
    ASSERT_EQ(cloud->RestartNode(link.nodeNo), 0);
    EXPECT_EQ(cloud->NodePort(link.nodeNo), port);
    ASSERT_TRUE(link.notic->WaitForStatus(0, 1, 20000));
    ASSERT_TRUE(link.notic->WaitForStatus(2, 2, 30000));
    cloudsim::NodeView view;
    ASSERT_TRUE(WaitUntil([&] { return cloud->Node(link.nodeNo, view) && view.connections.size() == 1; }, 20000));
    EXPECT_TRUE(view.connections[0].instances.empty());
    EXPECT_GE(view.accepted, 2u);
    // Control starts again after the reconnection, as the group SDK does it.
    fleet_link::StreamConf conf{};
    conf.width = 720;
    conf.height = 1280;
    const size_t starts = link.notic->CountOf("start");
    ASSERT_EQ(link.link->StartControl(main.c_str(), &conf, link.instances.data(),
                                      static_cast<uint32_t>(link.instances.size())),
              0);
    ASSERT_TRUE(link.notic->WaitForCount("start", starts + 1, 20000));
    link.link->InputString("again");
    for (const auto& instance : link.instances) {
        if (main != instance.instanceNo) {
            ASSERT_TRUE(WaitForNodeInputs(instance.instanceNo, "inputString", 1));
        }
    }
}

}  // namespace
}  // namespace cloudsim_test
