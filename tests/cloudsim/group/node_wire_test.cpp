// A group-control node of the local cloud against a raw WebSocket client:
// broken and hostile packages are refused with a reason and the node stays
// up; scripted faults change its answers.
#include <gtest/gtest.h>

#include "cloudsim/cloud_sim.h"
#include "link_harness.h"
#include "peers/clients.h"
#include "peers/node_wire.h"
#include "signed_call.h"

namespace cloudsim_test {
namespace {

namespace msg = peers::node_msg;

class NodeWireTest : public ::testing::Test {
protected:
    void SetUp() override {
        cloudsim::CloudOptions options;
        options.logLevel = 60;
        cloud = std::make_unique<cloudsim::CloudSim>(options);
        ASSERT_EQ(cloud->Start(), 0);
        url = "ws://127.0.0.1:" + std::to_string(cloud->NodePort(kNode)) + "/ws";
        ASSERT_TRUE(client.Connect(url));
    }

    bool Send(uint32_t type, const std::string& body) {
        return client.SendBinary(peers::FrameNodePackage(type, body));
    }

    // The next package; false on time-out.
    bool Next(uint32_t& type, Json::Value& body) {
        std::string data;
        bool binary = false;
        std::string text;
        if (!client.Receive(data, binary, 10000) || !binary) return false;
        return peers::SplitNodePackage(data, type, text) && peers::ReadNodeJson(text, body);
    }

    // Sends a request and reads the answer of answerType (skipping others).
    Json::Value Ask(uint32_t type, const std::string& body, uint32_t answerType) {
        EXPECT_TRUE(Send(type, body));
        uint32_t got = 0;
        Json::Value answer;
        while (Next(got, answer)) {
            if (got == answerType) return answer;
        }
        ADD_FAILURE() << "no answer of type " << answerType;
        return Json::Value();
    }

    std::string Register() {
        const Json::Value answer = Ask(msg::kRegisterReq, R"({"clientType":3,"sdkVersion":"1.1.0"})", msg::kRegisterRsp);
        EXPECT_EQ(answer["code"].asInt(), 0);
        return answer["connId"].asString();
    }

    size_t InvalidCount() const {
        size_t n = 0;
        for (const auto& message : cloud->NodeMessages(kNode)) n += message.kind == "invalid" ? 1 : 0;
        return n;
    }

    static constexpr const char* kNode = "gc-node-01";
    std::unique_ptr<cloudsim::CloudSim> cloud;
    std::string url;
    peers::WsClient client;
};

TEST_F(NodeWireTest, BrokenPackagesAreRefusedWithAReasonAndTheNodeStaysUp) {
    EXPECT_TRUE(client.SendText("{}"));
    EXPECT_TRUE(client.SendBinary(std::string("\0\0\x03", 3)));
    EXPECT_TRUE(client.SendBinary(peers::FrameNodePackage(msg::kRegisterReq, "{}") + "extra"));
    // A typed request with a broken body learns why.
    Json::Value answer = Ask(msg::kStartControlReq, "{not json", msg::kStartControlRsp);
    EXPECT_EQ(answer["code"].asInt(), 40001);
    answer = Ask(msg::kRegisterReq, R"({"clientType":"3","sdkVersion":"x"})", msg::kRegisterRsp);
    EXPECT_EQ(answer["code"].asInt(), 40001);
    EXPECT_NE(answer["msg"].asString().find("clientType"), std::string::npos);
    // Requests before registration are refused.
    answer = Ask(msg::kQueryInstanceStatusReq, R"({"connId":"guess"})", msg::kQueryInstanceStatusRsp);
    EXPECT_EQ(answer["code"].asInt(), 40104);

    const std::string connId = Register();
    ASSERT_FALSE(connId.empty());
    const std::string head = R"({"connId":")" + connId + R"(",)";
    // Deep nesting, too many touch points, a key beyond a byte, opData that is no object.
    EXPECT_TRUE(Send(msg::kInputReq, head + R"("opType":7,"opData":")" + std::string(5000, '[') + "\"}"));
    std::string points;
    for (int i = 0; i < 11; ++i) points += std::string(i ? "," : "") + R"({\"x\":1,\"y\":2})";
    EXPECT_TRUE(Send(msg::kInputReq, head + R"("opType":7,"opData":"{\"touchType\":0,\"touchInfos\":[)" + points +
                                         R"(]}"})"));
    EXPECT_TRUE(Send(msg::kInputReq, head + R"("opType":3,"opData":"{\"key\":300,\"isDown\":true}"})"));
    EXPECT_TRUE(Send(msg::kInputReq, head + R"("opType":99,"opData":"{}"})"));
    EXPECT_TRUE(Send(msg::kInputReq, head + R"("opType":1,"opData":"[1]"})"));
    answer = Ask(msg::kStartControlReq,
                 head + R"("mainInstanceNo":"x","instanceList":[{"uid":1}],"streamConf":{"app":"","ext":"",)"
                        R"("width":720,"height":1280}})",
                 msg::kStartControlRsp);
    EXPECT_EQ(answer["code"].asInt(), 40001);
    ASSERT_TRUE(fleet_link_test::WaitUntil([&] { return InvalidCount() >= 11; }, 10000)) << InvalidCount();
    for (const auto& message : cloud->NodeMessages(kNode)) {
        if (message.kind == "invalid") {
            EXPECT_FALSE(message.error.empty());
        }
    }
    // Still answering.
    answer = Ask(msg::kHeartBeatReq, head + R"("ts":12345})", msg::kHeartBeatReq);
    EXPECT_EQ(answer["ts"].asInt64(), 12345);
    EXPECT_EQ(answer["connId"].asString(), connId);
}

TEST_F(NodeWireTest, InstancesWithoutAGroupSessionOfThisNodeAreReportedAndLeftAlone) {
    const std::string connId = Register();
    // A real session of the other node, and one that does not exist.
    Json::Value body(Json::objectValue);
    body["userId"] = "demo-user";
    body["instanceNos"].append("CP-GROUP-0001");  // served by gc-node-02
    const int64_t ms = NowMs();  // the ticket and the signature share the moment
    body["clientTicket"] = ClientTicket("demo-user", ms);
    const Json::Value group = ParseJson(PostSigned(cloud->HttpsUrl(), "/sdk/instance/phone-group-control-connect",
                                                   Styled(body), "demo-access-key", "demo-secret-key", ms)
                                            .body);
    ASSERT_EQ(group["data"]["successList"].size(), 1u);
    const std::string otherNodes = group["data"]["successList"][0]["sessionId"].asString();

    Json::Value start(Json::objectValue);
    start["connId"] = connId;
    start["mainInstanceNo"] = "CP-GROUP-0001";
    Json::Value a(Json::objectValue);
    a["uid"] = "demo-user";
    a["sessionId"] = otherNodes;
    a["instanceNo"] = "CP-GROUP-0001";
    Json::Value b = a;
    b["sessionId"] = "SID-made-up";
    b["instanceNo"] = "CP-GROUP-0002";
    start["instanceList"].append(a);
    start["instanceList"].append(b);
    start["streamConf"]["app"] = "";
    start["streamConf"]["ext"] = "";
    start["streamConf"]["width"] = 720;
    start["streamConf"]["height"] = 1280;
    EXPECT_EQ(Ask(msg::kStartControlReq, peers::WriteNodeJson(start), msg::kStartControlRsp)["code"].asInt(), 0);
    uint32_t type = 0;
    Json::Value report;
    ASSERT_TRUE(Next(type, report));
    ASSERT_EQ(type, msg::kError);
    ASSERT_EQ(report["errDetail"]["instanceList"].size(), 2u);
    EXPECT_EQ(report["errDetail"]["instanceList"][0]["errCode"].asInt(), 40302);
    EXPECT_EQ(report["errDetail"]["instanceList"][1]["errCode"].asInt(), 40402);

    const Json::Value status =
        Ask(msg::kQueryInstanceStatusReq, R"({"connId":")" + connId + R"("})", msg::kQueryInstanceStatusRsp);
    ASSERT_EQ(status["instanceList"].size(), 2u);
    EXPECT_EQ(status["instanceList"][1]["state"].asInt(), cloudsim::kNodeInstanceFailed);
    EXPECT_TRUE(Send(msg::kInputReq, R"({"connId":")" + connId + R"(","opType":2,"opData":"{\"str\":\"x\"}"})"));
    EXPECT_EQ(Ask(msg::kStopControlReq, R"({"connId":")" + connId + R"("})", msg::kStopControlRsp)["code"].asInt(), 0);
    for (const char* instanceNo : {"CP-GROUP-0001", "CP-GROUP-0002"}) {
        for (const auto& message : cloud->Received(instanceNo)) {
            EXPECT_NE(message.type, 1015u);
        }
    }
}

TEST_F(NodeWireTest, ScriptedFaultsChangeTheNodesAnswers) {
    cloudsim::NodeFaultScript faults;
    faults.registerCode = 50001;
    cloud->SetNodeFaults(kNode, faults);
    Json::Value answer =
        Ask(msg::kRegisterReq, R"({"clientType":3,"sdkVersion":"1.1.0"})", msg::kRegisterRsp);
    EXPECT_EQ(answer["code"].asInt(), 50001);
    EXPECT_EQ(answer["connId"].asString(), "");

    faults = cloudsim::NodeFaultScript();
    faults.answerCode = 50002;
    faults.noHeartbeatEcho = true;
    cloud->SetNodeFaults(kNode, faults);
    const std::string connId = Register();
    answer = Ask(msg::kSwitchMainReq, R"({"connId":")" + connId + R"(","newMainInstanceNo":"x"})",
                 msg::kSwitchMainRsp);
    EXPECT_EQ(answer["code"].asInt(), 50002);
    EXPECT_TRUE(Send(msg::kHeartBeatReq, R"({"connId":")" + connId + R"(","ts":1})"));
    EXPECT_EQ(cloud->SendNodeError(kNode, 2, 7001, {{"CP-GROUP-0002", 7002}}), 1);
    uint32_t type = 0;
    ASSERT_TRUE(Next(type, answer));
    EXPECT_EQ(type, msg::kError);  // no heartbeat echo came first
    EXPECT_EQ(answer["errCode"].asInt(), 7001);
    EXPECT_EQ(answer["errDetail"]["instanceList"][0]["errCode"].asInt(), 7002);

    cloud->ClearFaults();
    faults.refuseUpgrade = true;
    cloud->SetNodeFaults(kNode, faults);
    peers::WsClient refused;
    EXPECT_FALSE(refused.Connect(url));
    peers::WsClient wrongPath;
    cloud->ClearFaults();
    EXPECT_FALSE(wrongPath.Connect("ws://127.0.0.1:" + std::to_string(cloud->NodePort(kNode)) + "/other"));
    peers::WsClient secure;
    EXPECT_TRUE(secure.Connect("wss://127.0.0.1:" + std::to_string(cloud->NodePort(kNode)) + "/ws"));
}

}  // namespace
}  // namespace cloudsim_test
