// The caller's operations on a node link, checked package by package with
// the peer's own reading of what arrived.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "node_fixture.h"
#include "peers/node_peer.h"
#include "peers/silent_server.h"

namespace fleet_link_test {
namespace {

namespace msg = peers::node_msg;
using fleet_link::ControlInstance;
using fleet_link::InstanceInput;
using fleet_link::StreamConf;

void Fill(char (&field)[256], const char* text) {
    std::strncpy(field, text, sizeof field - 1);
    field[sizeof field - 1] = '\0';
}

struct NamedOp {
    const char* name;
    std::function<int(fleet_link::CGCNode&)> call;
};

// Every operation, with arguments that are valid for it.
std::vector<NamedOp> AllOperations() {
    static StreamConf conf{};
    static InstanceInput info{};
    static const InstanceInput* infos[] = {&info};
    static const char* nos[] = {"i1"};
    static const int xs[] = {1};
    static const int ys[] = {2};
    return {
        {"StartControl", [](fleet_link::CGCNode& n) { return n.StartControl("m", &conf, nullptr, 0); }},
        {"StopControl", [](fleet_link::CGCNode& n) { return n.StopControl(); }},
        {"AddInstance", [](fleet_link::CGCNode& n) { return n.AddInstance(nos, 1); }},
        {"ReduceInstance", [](fleet_link::CGCNode& n) { return n.ReduceInstance(nos, 1); }},
        {"QueryInstanceStatus", [](fleet_link::CGCNode& n) { return n.QueryInstanceStatus(); }},
        {"SwitchMain", [](fleet_link::CGCNode& n) { return n.SwitchMain("i1"); }},
        {"InputString", [](fleet_link::CGCNode& n) { return n.InputString("s"); }},
        {"InputClipboard", [](fleet_link::CGCNode& n) { return n.InputClipboard("c"); }},
        {"InputKeyboard", [](fleet_link::CGCNode& n) { return n.InputKeyboard(true, 30); }},
        {"InputMouseClick", [](fleet_link::CGCNode& n) { return n.InputMouseClick(1, true); }},
        {"InputMouseMiddleClick", [](fleet_link::CGCNode& n) { return n.InputMouseMiddleClick(1, true); }},
        {"InputMouseMove", [](fleet_link::CGCNode& n) { return n.InputMouseMove(1, 2); }},
        {"InputTouch", [](fleet_link::CGCNode& n) { return n.InputTouch(0, xs, ys, 1); }},
        {"InputPosition", [](fleet_link::CGCNode& n) { return n.InputPosition(1.f, 2.f); }},
        {"InputSensor", [](fleet_link::CGCNode& n) { return n.InputSensor(1, 1.f, 2.f, 3.f); }},
        {"InputMsg", [](fleet_link::CGCNode& n) { return n.InputMsg("svc", "m"); }},
        {"InputInstanceInput", [](fleet_link::CGCNode& n) { return n.InputInstanceInput(infos, 1); }},
        {"InputInstanceClipboard", [](fleet_link::CGCNode& n) { return n.InputInstanceClipboard(infos, 1); }},
    };
}

class NodeOpsTest : public NodeTest {
protected:
    // Sends a marker input and waits for it: everything sent before it on
    // the same connection has arrived too.
    void Flush() {
        auto markers = [&] {
            size_t n = 0;
            for (auto& p : peer.PackagesOf(msg::kInputReq)) n += p.opData["service"].asString() == "marker";
            return n;
        };
        size_t before = markers();
        ASSERT_EQ(0, node->InputMsg("marker", "end"));
        ASSERT_TRUE(peer.WaitUntil([&] { return markers() > before; }));
    }

    // Input packages without the markers.
    std::vector<peers::NodePackage> Inputs() {
        std::vector<peers::NodePackage> list;
        for (auto& p : peer.PackagesOf(msg::kInputReq)) {
            if (p.opData["service"].asString() != "marker") list.push_back(p);
        }
        return list;
    }

    peers::NodePeer peer;
};

TEST_F(NodeTest, OperationsAreRefusedBeforeTheUpgradeAndAcceptedAfterItWithAnEmptyConnId) {
    peers::SilentServer silent;
    ASSERT_EQ(0, StartNode(silent.Url()));
    ASSERT_TRUE(silent.WaitUntil([&] { return silent.AcceptedCount() == 1; }));
    for (const NamedOp& op : AllOperations()) {
        EXPECT_EQ(-1, op.call(*node)) << op.name;
        EXPECT_TRUE(logs.Has(std::string("[FLEET_LINK]fleet_link::CGCNode::") + op.name +
                             " failed: websocket is not ready"))
            << op.name;
    }
    node->UnInit();

    peers::NodePeer peer;
    peer.SetAutoAnswer(false);  // no register answer
    ASSERT_EQ(0, StartNode(peer.Url()));
    ASSERT_TRUE(peer.WaitForCount(msg::kRegisterReq, 1));
    size_t count = 0;
    for (const NamedOp& op : AllOperations()) {
        EXPECT_EQ(0, op.call(*node)) << op.name;
        ++count;
    }
    ASSERT_TRUE(peer.WaitUntil([&] { return peer.Packages().size() == count + 1; }));
    for (const auto& p : peer.Packages()) {
        ASSERT_TRUE(p.parsed) << p.body;
        if (p.type == msg::kRegisterReq) continue;
        EXPECT_EQ("", p.json["connId"].asString()) << p.body;
    }
}

TEST_F(NodeOpsTest, ControlRequestsCarryEveryField) {
    StartRegistered(peer);
    StreamConf conf{};
    Fill(conf.app, "game");
    Fill(conf.ext, "{\"fps\":30}");
    conf.width = 720;
    conf.height = 1280;
    ControlInstance instances[2]{};
    Fill(instances[0].uid, "u1");
    Fill(instances[0].sessionId, "s1");
    Fill(instances[0].instanceNo, "i1");
    Fill(instances[1].uid, "u2");
    Fill(instances[1].sessionId, "s2");
    Fill(instances[1].instanceNo, "i2");
    const char* more[] = {"i3", "i4"};

    EXPECT_EQ(0, node->StartControl("i1", &conf, instances, 2));
    EXPECT_EQ(0, node->StartControl("i1", &conf, nullptr, 0));
    EXPECT_EQ(0, node->AddInstance(more, 2));
    EXPECT_EQ(0, node->AddInstance(nullptr, 0));
    EXPECT_EQ(0, node->ReduceInstance(more, 1));
    EXPECT_EQ(0, node->ReduceInstance(nullptr, 0));
    EXPECT_EQ(0, node->QueryInstanceStatus());
    EXPECT_EQ(0, node->SwitchMain("i2"));
    EXPECT_EQ(0, node->StopControl());
    EXPECT_EQ(-1, node->StartControl("i1", nullptr, instances, 2));
    EXPECT_EQ(-1, node->AddInstance(nullptr, 3));
    ASSERT_TRUE(peer.WaitForCount(msg::kStopControlReq, 1));

    auto starts = peer.PackagesOf(msg::kStartControlReq);
    ASSERT_EQ(2u, starts.size());
    const Json::Value& start = starts[0].json;
    EXPECT_EQ(4u, start.size());
    EXPECT_EQ("conn-1", start["connId"].asString());
    EXPECT_EQ("i1", start["mainInstanceNo"].asString());
    ASSERT_EQ(2u, start["instanceList"].size());
    EXPECT_EQ("u2", start["instanceList"][1]["uid"].asString());
    EXPECT_EQ("s2", start["instanceList"][1]["sessionId"].asString());
    EXPECT_EQ("i2", start["instanceList"][1]["instanceNo"].asString());
    EXPECT_EQ("game", start["streamConf"]["app"].asString());
    EXPECT_EQ("{\"fps\":30}", start["streamConf"]["ext"].asString());
    EXPECT_TRUE(start["streamConf"]["width"].isUInt());
    EXPECT_EQ(720u, start["streamConf"]["width"].asUInt());
    EXPECT_EQ(1280u, start["streamConf"]["height"].asUInt());
    EXPECT_TRUE(starts[1].json["instanceList"].isArray());
    EXPECT_EQ(0u, starts[1].json["instanceList"].size());

    auto adds = peer.PackagesOf(msg::kAddInstanceReq);
    ASSERT_EQ(2u, adds.size());
    EXPECT_EQ(R"({"connId":"conn-1","instanceList":[{"instanceNo":"i3"},{"instanceNo":"i4"}]})", adds[0].body);
    EXPECT_EQ(R"({"connId":"conn-1","instanceList":[]})", adds[1].body);
    auto reduces = peer.PackagesOf(msg::kReduceInstanceReq);
    ASSERT_EQ(2u, reduces.size());
    EXPECT_EQ(R"({"connId":"conn-1","instanceList":[{"instanceNo":"i3"}]})", reduces[0].body);
    EXPECT_EQ(R"({"connId":"conn-1","instanceList":[]})", reduces[1].body);
    EXPECT_EQ(R"({"connId":"conn-1"})", peer.PackagesOf(msg::kQueryInstanceStatusReq)[0].body);
    EXPECT_EQ(R"({"connId":"conn-1","newMainInstanceNo":"i2"})", peer.PackagesOf(msg::kSwitchMainReq)[0].body);
    EXPECT_EQ(R"({"connId":"conn-1"})", peer.PackagesOf(msg::kStopControlReq)[0].body);
    EXPECT_TRUE(logs.Has("[FLEET_LINK]group control node [node-a] StartControl"));
    EXPECT_TRUE(logs.Has("[FLEET_LINK]group control node [node-a] SwitchMain[i2]"));
}

TEST_F(NodeOpsTest, InputRequestsEmbedTheirDataAsJsonText) {
    StartRegistered(peer);
    InstanceInput a{}, b{};
    Fill(a.instanceNo, "i1");
    Fill(a.str, "hello");
    Fill(b.instanceNo, "i2");
    Fill(b.str, "world");
    const InstanceInput* infos[] = {&a, &b};

    EXPECT_EQ(0, node->InputString("say \"hi\""));
    EXPECT_EQ(0, node->InputClipboard("clip"));
    EXPECT_EQ(0, node->InputKeyboard(true, static_cast<int8_t>(172)));
    EXPECT_EQ(0, node->InputMouseClick(2, false));
    EXPECT_EQ(0, node->InputMouseMiddleClick(-120, true));
    EXPECT_EQ(0, node->InputMouseMove(-5, 640));
    const int xs[] = {10, 30};
    const int ys[] = {20, 40};
    EXPECT_EQ(0, node->InputTouch(0, xs, ys, 2));
    EXPECT_EQ(0, node->InputPosition(116.5f, -39.25f));
    EXPECT_EQ(0, node->InputSensor(3, 0.5f, -1.0f, 9.75f));
    EXPECT_EQ(0, node->InputMsg("svc", "{\"k\":1}"));
    EXPECT_EQ(0, node->InputInstanceInput(infos, 2));
    EXPECT_EQ(0, node->InputInstanceClipboard(infos, 0));
    EXPECT_EQ(0, node->InputString(nullptr));
    Flush();

    auto in = Inputs();
    ASSERT_EQ(13u, in.size());
    for (const auto& p : in) {
        EXPECT_EQ(3u, p.json.size()) << p.body;
        EXPECT_EQ("conn-1", p.json["connId"].asString());
        EXPECT_TRUE(p.json["opData"].isString()) << p.body;
        EXPECT_TRUE(p.opData.isObject()) << p.body;
    }
    // opData is JSON inside a JSON string: the quotes of the text are escaped twice.
    EXPECT_EQ(R"({"connId":"conn-1","opData":"{\"str\":\"say \\\"hi\\\"\"}","opType":1})", in[0].body);
    EXPECT_EQ("say \"hi\"", in[0].opData["str"].asString());
    EXPECT_EQ(2, in[1].json["opType"].asInt());
    EXPECT_EQ("clip", in[1].opData["str"].asString());
    EXPECT_EQ(3, in[2].json["opType"].asInt());
    EXPECT_EQ(-84, in[2].opData["key"].asInt());
    EXPECT_TRUE(in[2].opData["isDown"].asBool());
    EXPECT_EQ(4, in[3].json["opType"].asInt());
    EXPECT_EQ(2, in[3].opData["mouseType"].asInt());
    EXPECT_FALSE(in[3].opData["isDown"].asBool());
    EXPECT_EQ(5, in[4].json["opType"].asInt());
    EXPECT_EQ(-120, in[4].opData["wheel"].asInt());
    EXPECT_TRUE(in[4].opData["isDown"].asBool());
    EXPECT_EQ(6, in[5].json["opType"].asInt());
    EXPECT_EQ(-5, in[5].opData["x"].asInt());
    EXPECT_EQ(640, in[5].opData["y"].asInt());
    EXPECT_EQ(7, in[6].json["opType"].asInt());
    EXPECT_EQ(R"({"touchInfos":[{"x":10,"y":20},{"x":30,"y":40}],"touchType":0})", in[6].json["opData"].asString());
    EXPECT_EQ(8, in[7].json["opType"].asInt());
    EXPECT_TRUE(in[7].opData["longitude"].isDouble());
    EXPECT_DOUBLE_EQ(116.5, in[7].opData["longitude"].asDouble());
    EXPECT_DOUBLE_EQ(-39.25, in[7].opData["latitude"].asDouble());
    EXPECT_EQ(9, in[8].json["opType"].asInt());
    EXPECT_EQ(3, in[8].opData["sensorType"].asInt());
    EXPECT_DOUBLE_EQ(0.5, in[8].opData["x"].asDouble());
    EXPECT_DOUBLE_EQ(-1.0, in[8].opData["y"].asDouble());
    EXPECT_DOUBLE_EQ(9.75, in[8].opData["z"].asDouble());
    EXPECT_EQ(10, in[9].json["opType"].asInt());
    EXPECT_EQ("svc", in[9].opData["service"].asString());
    EXPECT_EQ("{\"k\":1}", in[9].opData["msg"].asString());
    EXPECT_EQ(11, in[10].json["opType"].asInt());
    EXPECT_EQ(R"({"inputInfos":[{"instanceNo":"i1","str":"hello"},{"instanceNo":"i2","str":"world"}]})",
              in[10].json["opData"].asString());
    EXPECT_EQ(12, in[11].json["opType"].asInt());
    EXPECT_EQ(R"({"inputInfos":[]})", in[11].json["opData"].asString());
    EXPECT_EQ("", in[12].opData["str"].asString());
}

TEST_F(NodeOpsTest, TextsUpToOneMebibyteAreSentLongerOnesRefused) {
    StartRegistered(peer);
    std::string exact(1048576, 'a');
    std::string over(1048577, 'b');
    EXPECT_EQ(0, node->InputString(exact.c_str()));
    EXPECT_EQ(0, node->InputClipboard(exact.c_str()));
    EXPECT_EQ(-1, node->InputString(over.c_str()));
    EXPECT_TRUE(logs.Has("[FLEET_LINK]input string is too long"));
    EXPECT_EQ(-1, node->InputClipboard(over.c_str()));
    EXPECT_TRUE(logs.Has("[FLEET_LINK]Clipboard string is too long"));
    Flush();
    auto in = Inputs();
    ASSERT_EQ(2u, in.size());
    EXPECT_EQ(exact, in[0].opData["str"].asString());
    EXPECT_EQ(2, in[1].json["opType"].asInt());
    EXPECT_EQ(exact.size(), in[1].opData["str"].asString().size());
}

TEST_F(NodeOpsTest, TouchMovesAreThrottledToOneEveryTwentyMilliseconds) {
    constexpr int64_t kT = 1700000000000;
    node->Clock().Fix(kT);
    StartRegistered(peer);
    const int xs[] = {1};
    const int ys[] = {2};
    EXPECT_EQ(0, node->InputTouch(2, xs, ys, 1));  // sent
    node->Clock().Fix(kT + 19);
    EXPECT_EQ(0, node->InputTouch(2, xs, ys, 1));  // dropped
    EXPECT_EQ(0, node->InputTouch(1, xs, ys, 1));  // up: sent, timer untouched
    EXPECT_EQ(0, node->InputTouch(2, xs, ys, 1));  // still dropped
    node->Clock().Fix(kT + 20);
    EXPECT_EQ(0, node->InputTouch(2, xs, ys, 1));  // sent
    node->Clock().Fix(kT + 39);
    EXPECT_EQ(0, node->InputTouch(2, xs, ys, 1));  // dropped

    // Without points: down and move are refused, other types sent empty.
    EXPECT_EQ(-1, node->InputTouch(0, xs, ys, 0));
    EXPECT_EQ(-1, node->InputTouch(2, nullptr, nullptr, -1));
    EXPECT_EQ(0, node->InputTouch(1, nullptr, nullptr, 0));
    EXPECT_EQ(-1, node->InputTouch(1, nullptr, nullptr, 2));
    Flush();

    std::vector<int> types;
    for (const auto& p : Inputs()) types.push_back(p.opData["touchType"].asInt());
    EXPECT_EQ((std::vector<int>{2, 1, 2, 1}), types);
    EXPECT_EQ(R"({"touchInfos":[],"touchType":1})", Inputs().back().json["opData"].asString());
}

TEST_F(NodeOpsTest, AutoQueryIntervalZeroSendsNoQuery) {
    StartRegistered(peer, {true, 0, 50, 3000});
    ASSERT_TRUE(peer.WaitForCount(msg::kHeartBeatReq, 2));
    EXPECT_EQ(0u, peer.CountOf(msg::kQueryInstanceStatusReq));
}

TEST_F(NodeOpsTest, AutoQueryIntervalOneQueriesEveryMillisecond) {
    StartRegistered(peer, {true, 1, 50, 3000});
    ASSERT_TRUE(peer.WaitForCount(msg::kQueryInstanceStatusReq, 50));
    EXPECT_TRUE(notic->WaitForCount("query", 50));
}

}  // namespace
}  // namespace fleet_link_test
