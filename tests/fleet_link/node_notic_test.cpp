// Every answer of a node reaches its notification; packages that are no
// valid answer are dropped and the connection stays up.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "node_fixture.h"
#include "peers/node_peer.h"

namespace fleet_link_test {
namespace {

namespace msg = peers::node_msg;

class NodeNoticTest : public NodeTest {
protected:
    peers::NodePeer peer;
};

TEST_F(NodeNoticTest, EveryAnswerTypeArrivesAsItsNotification) {
    StartRegistered(peer);
    fleet_link::StreamConf conf{};
    conf.width = 720;
    conf.height = 1280;
    fleet_link::ControlInstance instances[2]{};
    std::strcpy(instances[0].instanceNo, "i1");
    std::strcpy(instances[1].instanceNo, "i2");
    peer.SetInstanceState("i2", 3, 77, true);

    ASSERT_EQ(0, node->StartControl("i1", &conf, instances, 2));
    ASSERT_TRUE(notic->WaitForCount("start", 1));
    const char* more[] = {"i3"};
    ASSERT_EQ(0, node->AddInstance(more, 1));
    ASSERT_TRUE(notic->WaitForCount("add", 1));
    ASSERT_EQ(0, node->ReduceInstance(more, 1));
    ASSERT_TRUE(notic->WaitForCount("reduce", 1));
    ASSERT_EQ(0, node->SwitchMain("i2"));
    ASSERT_TRUE(notic->WaitForCount("switch", 1));
    EXPECT_EQ("i2", peer.MainInstance());
    peer.SetAnswerCode(12, "partly");
    ASSERT_EQ(0, node->QueryInstanceStatus());
    ASSERT_TRUE(notic->WaitForCount("query", 1));
    ASSERT_EQ(0, node->StopControl());
    ASSERT_TRUE(logs.WaitFor("[FLEET_LINK]Recv Stop control Rsp"));

    for (const NodeEvent& e : notic->Events()) {
        EXPECT_EQ("node-a", e.nodeName);
        EXPECT_EQ(kUserData, e.userData);
        if (e.kind == "start" || e.kind == "add" || e.kind == "reduce" || e.kind == "switch") {
            EXPECT_EQ(0, e.code) << e.kind;
            EXPECT_EQ("success", e.msg) << e.kind;
        }
    }
    NodeEvent query = notic->Events().back();
    ASSERT_EQ("query", query.kind);
    EXPECT_EQ(12, query.code);
    EXPECT_EQ("partly", query.msg);
    ASSERT_EQ(2u, query.states.size());
    EXPECT_STREQ("i1", query.states[0].instanceNo);
    EXPECT_EQ(720, query.states[0].width);
    EXPECT_EQ(1280, query.states[0].height);
    EXPECT_STREQ("i2", query.states[1].instanceNo);
    EXPECT_EQ(3, query.states[1].state);
    EXPECT_EQ(77, query.states[1].errCode);
    EXPECT_TRUE(query.states[1].isProxy);
    EXPECT_TRUE(logs.Has("[FLEET_LINK]ParseStartControlRsp: ConnId[conn-1], code:[0], message:[success]"));
    EXPECT_TRUE(logs.Has("[FLEET_LINK]ParseQueryInstanceStatusRsp: ConnId[conn-1], code:[12], message:[partly]"));

    // A node's error report passes its type through, with an empty message.
    Json::Value report;
    report["connId"] = "conn-1";
    report["errType"] = 6;
    report["errCode"] = 60710001;
    Json::Value item;
    item["instanceNo"] = "i2";
    item["errCode"] = 5;
    report["errDetail"]["instanceList"].append(item);
    ASSERT_TRUE(peer.SendJson(msg::kError, report));
    ASSERT_TRUE(notic->WaitForCount("error", 1));
    NodeEvent error = notic->Events().back();
    EXPECT_EQ(6, error.errType);
    EXPECT_EQ(60710001, error.code);
    EXPECT_EQ("", error.msg);
    ASSERT_EQ(1u, error.errors.size());
    EXPECT_STREQ("i2", error.errors[0].instanceNo);
    EXPECT_EQ(5, error.errors[0].errCode);
    EXPECT_TRUE(logs.Has("[FLEET_LINK]ParseErrorRsp: ConnId[conn-1], type[6], code:[60710001], instanceErrorCount:[1]"));
}

TEST_F(NodeNoticTest, TwoPackagesBackToBackAreHandledIndependently) {
    StartRegistered(peer);
    ASSERT_TRUE(peer.Send(msg::kAddInstanceRsp, R"({"connId":"conn-1","code":1,"msg":"a"})"));
    ASSERT_TRUE(peer.Send(msg::kAddInstanceRsp, R"({"connId":"conn-1","code":2})"));
    ASSERT_TRUE(notic->WaitForCount("add", 2));
    auto events = notic->Events();
    EXPECT_EQ(1, events[events.size() - 2].code);
    EXPECT_EQ("a", events[events.size() - 2].msg);
    EXPECT_EQ(2, events.back().code);
    EXPECT_EQ("", events.back().msg);
}

TEST_F(NodeNoticTest, MalformedPackagesAreDroppedAndTheLinkStaysUp) {
    StartRegistered(peer);
    ASSERT_TRUE(peer.SendText("not binary"));
    ASSERT_TRUE(peer.SendRaw(std::string("\x00\x00\x03", 3)));
    ASSERT_TRUE(peer.SendRaw(peers::FrameNodePackage(msg::kStartControlRsp, "{}").substr(0, 9)));
    ASSERT_TRUE(peer.Send(msg::kRegisterRsp, R"({"connId":"x"})"));
    ASSERT_TRUE(peer.Send(msg::kHeartBeatReq, R"({"ts":)"));
    ASSERT_TRUE(peer.Send(msg::kStartControlRsp, R"({"code":0})"));
    ASSERT_TRUE(peer.Send(msg::kAddInstanceRsp, R"({"connId":"c","code":"0"})"));
    ASSERT_TRUE(peer.Send(msg::kReduceInstanceRsp, R"(nope)"));
    ASSERT_TRUE(peer.Send(msg::kQueryInstanceStatusRsp, R"({"connId":"c","code":0,"instanceList":[{}]})"));
    ASSERT_TRUE(peer.Send(msg::kSwitchMainRsp, ""));
    ASSERT_TRUE(peer.Send(msg::kError, R"({"connId":"c","errType":1,"errCode":1})"));
    ASSERT_TRUE(peer.Send(4242, "{}"));
    std::mt19937 random(7);
    for (int i = 0; i < 200; ++i) {
        std::string body(random() % 40, '\0');
        for (char& ch : body) ch = static_cast<char>(random() % 256);
        uint32_t types[] = {1002, 1003, 1006, 1008, 1010, 1012, 1014, 1017, 2001};
        ASSERT_TRUE(peer.Send(types[random() % 9], body));
        ASSERT_TRUE(peer.SendRaw(body));
    }

    // Still connected, still answered.
    ASSERT_EQ(0, node->SwitchMain("i9"));
    ASSERT_TRUE(notic->WaitForCount("switch", 1));
    EXPECT_TRUE(logs.Has("[FLEET_LINK]OnWSRecv Text :not binary"));
    EXPECT_TRUE(logs.Has("[FLEET_LINK]Get incomplete package header len[2] package len[1]"));
    EXPECT_TRUE(logs.Has("[FLEET_LINK]ParseRegisterRsp failed"));
    EXPECT_TRUE(logs.Has("[FLEET_LINK]ParseHeartBeatReq failed"));
    EXPECT_TRUE(logs.Has("[FLEET_LINK]ParseStartControlRsp failed"));
    EXPECT_TRUE(logs.Has("[FLEET_LINK]ParseAddInstanceRsp failed"));
    EXPECT_TRUE(logs.Has("[FLEET_LINK]ParseReduceInstanceRsp failed"));
    EXPECT_TRUE(logs.Has("[FLEET_LINK]ParseQueryInstanceStatusRsp failed"));
    EXPECT_TRUE(logs.Has("[FLEET_LINK]ParseSwitchMainRsp failed"));
    EXPECT_TRUE(logs.Has("[FLEET_LINK]ParseErrorRsp failed"));
    EXPECT_TRUE(logs.Has("[FLEET_LINK]unknown message type[4242]"));
    EXPECT_EQ(1u, notic->CountOf("switch"));
    EXPECT_EQ(0u, notic->CountOf("start"));
    EXPECT_EQ(std::vector<int>{2}, notic->Statuses());
}

}  // namespace
}  // namespace fleet_link_test
