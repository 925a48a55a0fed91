// Session calls against a local HTTPS platform peer that checks every request
// on its own (headers, clock, signature, ticket, body keys and types).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plat_test_support.h"

using namespace plat_test;
using platform_peer::kGroupControlPath;
using platform_peer::kPhoneConnectPath;
using platform_peer::kRefreshSessionPath;
using platform_peer::kScreenshotPath;

namespace {

const char* const kPhoneData =
    R"({"sessionId":"sess-1","instanceNo":"inst-9","userId":"user-42","appPackage":"com.demo",)"
    R"("sessionSignExpireTime":"1700000000123","sessionExpireTime":"1700000999000",)"
    R"("streamInfo":{"tcpDomain":"tcp.example","tcpPort":7001,"udpDomain":"udp.example","udpPort":7002,)"
    R"("webSocketDomain":"ws.example","webSocketPort":7443},"streamStrategyList":[1,3,5],"preemption":true})";

class SessionCallsTest : public ::testing::Test {
protected:
    PeerAndClient env;
    int tag = 7;
};

TEST_F(SessionCallsTest, PhoneConnectIsSignedAndItsAnswerParsed) {
    env.peer.Script(kPhoneConnectPath, 200, OkBody(kPhoneData));
    ASSERT_EQ(0, env.client->GetPhoneConnect("inst-9", "HD", "pc", &tag));
    ASSERT_TRUE(env.notic->WaitFor(1));

    const auto calls = env.peer.CallsTo(kPhoneConnectPath);
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ("", calls[0].error);
    const auto& body = calls[0].verified.body;
    EXPECT_EQ("user-42", body["userId"].asString());
    EXPECT_EQ("inst-9", body["instanceNo"].asString());
    EXPECT_EQ("HD", body["sdkStreamLevel"].asString());
    EXPECT_EQ(kUserId, calls[0].verified.ticketUserId);
    EXPECT_EQ(kSdkVersion, calls[0].verified.ticketSdkVersion);
    EXPECT_EQ(kAccessKey, calls[0].verified.accessKey);

    const Answer answer = env.notic->Last();
    EXPECT_EQ("phone", answer.kind);
    EXPECT_EQ(0, answer.result);
    EXPECT_EQ(200, answer.httpCode);
    EXPECT_EQ("pc", answer.name);
    EXPECT_EQ(&tag, answer.userData);
    const auto& rsp = *answer.phone;
    EXPECT_EQ("/sdk/instance/phone-connect", rsp.path);
    EXPECT_EQ(0, rsp.code);
    EXPECT_EQ("ok", rsp.msg);
    EXPECT_EQ("sess-1", rsp.sessionId);
    EXPECT_EQ("inst-9", rsp.instanceNo);
    EXPECT_EQ("com.demo", rsp.appPackage);
    EXPECT_EQ(1700000000123LL, rsp.sessionSignExpireTime);
    EXPECT_EQ(1700000999000LL, rsp.sessionExpireTime);
    EXPECT_EQ("tcp.example", rsp.tcpDomain);
    EXPECT_EQ(7001, rsp.tcpPort);
    EXPECT_EQ("udp.example", rsp.udpDomain);
    EXPECT_EQ(7002, rsp.udpPort);
    EXPECT_EQ("ws.example", rsp.webSocketDomain);
    EXPECT_EQ(7443, rsp.webSocketPort);
    EXPECT_EQ((std::vector<int32_t>{1, 3, 5}), rsp.streamStrategyList);
    EXPECT_TRUE(rsp.preemption);
}

TEST_F(SessionCallsTest, EmptyStreamLevelIsNotSent) {
    env.peer.Script(kPhoneConnectPath, 200, OkBody(kPhoneData));
    ASSERT_EQ(0, env.client->GetPhoneConnect("inst-9", "", nullptr, nullptr));
    ASSERT_TRUE(env.notic->WaitFor(1));
    const auto calls = env.peer.CallsTo(kPhoneConnectPath);
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ("", calls[0].error);
    EXPECT_FALSE(calls[0].verified.body.isMember("sdkStreamLevel"));
    EXPECT_EQ("", env.notic->Last().name);
}

TEST_F(SessionCallsTest, SessionIdIsReplacedByPhoneConnectAndRefresh) {
    env.peer.Script(kRefreshSessionPath, 200, OkBody(R"({"sessionId":"sess-0"})"));
    env.peer.Script(kPhoneConnectPath, 200, OkBody(kPhoneData));
    env.peer.Script(kRefreshSessionPath, 200, OkBody(R"({"sessionId":"sess-2","sessionSignExpireTime":"55"})"));
    env.peer.Script(kRefreshSessionPath, 200, OkBody(R"({"sessionId":"sess-3"})"));
    env.peer.Script(kPhoneConnectPath, 200, R"({"code":60200001,"msg":"no instance"})");
    env.peer.Script(kRefreshSessionPath, 200, OkBody(R"({"sessionId":"sess-4"})"));

    ASSERT_EQ(0, env.client->RefreshSession("r0", nullptr));  // nothing stored yet
    ASSERT_TRUE(env.notic->WaitFor(1));
    ASSERT_EQ(0, env.client->GetPhoneConnect("inst-9", "", "p1", nullptr));
    ASSERT_TRUE(env.notic->WaitFor(2));
    ASSERT_EQ(0, env.client->RefreshSession("r1", nullptr));
    ASSERT_TRUE(env.notic->WaitFor(3));
    ASSERT_EQ(0, env.client->RefreshSession("r2", nullptr));
    ASSERT_TRUE(env.notic->WaitFor(4));
    // An error answer without "data" parses, and empties the stored session.
    ASSERT_EQ(0, env.client->GetPhoneConnect("inst-9", "", "p2", nullptr));
    ASSERT_TRUE(env.notic->WaitFor(5));
    ASSERT_EQ(0, env.client->RefreshSession("r3", nullptr));
    ASSERT_TRUE(env.notic->WaitFor(6));

    const auto refreshes = env.peer.CallsTo(kRefreshSessionPath);
    ASSERT_EQ(4u, refreshes.size());
    std::vector<std::string> sent;
    for (const auto& call : refreshes) {
        EXPECT_EQ("", call.error);
        sent.push_back(call.verified.body["sessionId"].asString());
    }
    EXPECT_EQ((std::vector<std::string>{"", "sess-1", "sess-2", ""}), sent);

    const auto answers = env.notic->Answers();
    EXPECT_EQ(55, answers[2].refresh->sessionSignExpireTime);
    EXPECT_EQ(0, answers[3].refresh->sessionSignExpireTime);  // absent keeps 0
    EXPECT_EQ(60200001, answers[4].phone->code);
    EXPECT_EQ("no instance", answers[4].phone->msg);
    EXPECT_EQ("", answers[4].phone->sessionId);
}

TEST_F(SessionCallsTest, GroupControlSendsTheListAndParsesAllThreeLists) {
    env.peer.Script(kGroupControlPath, 200,
                    OkBody(R"({"successList":[{"sessionId":"g1","instanceNo":"a","gCtrlNodeNo":"node-1",)"
                           R"("sessionSignExpireTime":"not a number","sessionExpireTime":"99999999999999999999",)"
                           R"("streamInfo":{"webSocketDomain":"ws.a","webSocketPort":9001}},)"
                           R"({"sessionId":"g2","gCtrlNodeNo":"node-2","preemption":false}],)"
                           R"("failList":[{"instanceNo":"c","errorCode":4004,"errorMsg":"gone"},)"
                           R"({"instanceNo":"d","errorCode":4005}],)"
                           R"("idcServerNodeList":[{"idcServerNodeNo":"idc-1","nodeIp":"10.0.0.1","nodePort":8800}]})"));
    const char* instances[] = {"a", "b", "c", "d"};
    ASSERT_EQ(0, env.client->PhoneGroupControlConnect(instances, 4, "gc", nullptr));
    ASSERT_TRUE(env.notic->WaitFor(1));

    const auto calls = env.peer.CallsTo(kGroupControlPath);
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ("", calls[0].error);
    const auto& list = calls[0].verified.body["instanceNos"];
    ASSERT_EQ(4u, list.size());
    EXPECT_EQ("a", list[0].asString());
    EXPECT_EQ("d", list[3].asString());

    const auto& rsp = *env.notic->Last().group;
    ASSERT_EQ(2u, rsp.successList.size());
    EXPECT_EQ("g1", rsp.successList[0].sessionId);
    EXPECT_EQ("node-1", rsp.successList[0].gCtrlNodeNo);
    EXPECT_EQ("ws.a", rsp.successList[0].webSocketDomain);
    EXPECT_EQ(9001, rsp.successList[0].webSocketPort);
    EXPECT_EQ(0, rsp.successList[0].sessionSignExpireTime);  // no number
    EXPECT_EQ(0, rsp.successList[0].sessionExpireTime);      // out of range
    EXPECT_EQ("node-2", rsp.successList[1].gCtrlNodeNo);
    ASSERT_EQ(2u, rsp.failList.size());
    EXPECT_EQ(4004, rsp.failList[0].errorCode);
    EXPECT_EQ("gone", rsp.failList[0].errorMsg);
    EXPECT_EQ("", rsp.failList[1].errorMsg);
    ASSERT_EQ(1u, rsp.idcServerNodeList.size());
    EXPECT_EQ("10.0.0.1", rsp.idcServerNodeList[0].nodeIp);
    EXPECT_EQ(8800, rsp.idcServerNodeList[0].nodePort);
}

TEST_F(SessionCallsTest, GroupControlWithNoInstancesSendsAnEmptyArray) {
    env.peer.Script(kGroupControlPath, 200, R"({"code":0,"msg":"ok"})");
    ASSERT_EQ(0, env.client->PhoneGroupControlConnect(nullptr, 0, "gc", nullptr));
    ASSERT_TRUE(env.notic->WaitFor(1));
    const auto calls = env.peer.CallsTo(kGroupControlPath);
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ("", calls[0].error);
    EXPECT_TRUE(calls[0].verified.body["instanceNos"].isArray());
    EXPECT_EQ(0u, calls[0].verified.body["instanceNos"].size());

    const char* withNull[] = {"a", nullptr};
    EXPECT_EQ(-1, env.client->PhoneGroupControlConnect(withNull, 2, "gc", nullptr));
    EXPECT_EQ(-1, env.client->PhoneGroupControlConnect(nullptr, 1, "gc", nullptr));
}

TEST_F(SessionCallsTest, ScreenshotSendsIntegersAndTruncatesLongTexts) {
    const std::string longUrl = "https://pic.example/" + std::string(300, 'x');
    env.peer.Script(kScreenshotPath, 200,
                    OkBody(R"([{"instanceNo":"a","picUrl":")" + longUrl + R"("},{"instanceNo":"b","picUrl":"u2"}])"));
    plat_client::ScreenshotReq request;
    request.pictureQuality = 80;
    request.pictureScale = 50;
    request.pictureRotate = 90;
    request.intervalTime = 1000;
    ASSERT_EQ(0, env.client->Screenshot(request, {"a", "b"}, "shot", nullptr));
    ASSERT_TRUE(env.notic->WaitFor(1));

    const auto calls = env.peer.CallsTo(kScreenshotPath);
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ("", calls[0].error);
    const auto& body = calls[0].verified.body;
    EXPECT_EQ(80, body["pictureQuality"].asInt());
    EXPECT_EQ(50, body["pictureScale"].asInt());
    EXPECT_EQ(90, body["pictureRotate"].asInt());
    EXPECT_EQ(1000, body["intervalTime"].asInt());
    EXPECT_EQ(2u, body["instanceNos"].size());

    const auto& rsp = *env.notic->Last().screenshot;
    ASSERT_EQ(2u, rsp.data.size());
    EXPECT_STREQ("a", rsp.data[0].instanceNo);
    EXPECT_EQ(longUrl.substr(0, 255), std::string(rsp.data[0].picUrl));
    EXPECT_STREQ("u2", rsp.data[1].picUrl);
}

TEST_F(SessionCallsTest, BadAnswersStillReachTheNotic) {
    LogRecorder log;
    env.peer.Script(kPhoneConnectPath, 200, "<html>not json</html>");
    env.peer.Script(kPhoneConnectPath, 500, R"({"code":1,"msg":"boom"})");
    env.peer.Script(kPhoneConnectPath, 200, OkBody(R"({"sessionId":"s","streamInfo":{"webSocketDomain":"w"}})"));
    ASSERT_EQ(0, env.client->GetPhoneConnect("i", "", "bad-json", nullptr));
    ASSERT_TRUE(env.notic->WaitFor(1));
    ASSERT_EQ(0, env.client->GetPhoneConnect("i", "", "status-500", nullptr));
    ASSERT_TRUE(env.notic->WaitFor(2));
    ASSERT_EQ(0, env.client->GetPhoneConnect("i", "", "no-port", nullptr));
    ASSERT_TRUE(env.notic->WaitFor(3));

    const auto answers = env.notic->Answers();
    EXPECT_EQ(0, answers[0].result);
    EXPECT_EQ(200, answers[0].httpCode);
    EXPECT_EQ("", answers[0].phone->sessionId);
    EXPECT_EQ("/sdk/instance/phone-connect", answers[0].phone->path);
    EXPECT_EQ(0, answers[1].result);
    EXPECT_EQ(500, answers[1].httpCode);
    EXPECT_EQ("", answers[1].phone->msg);  // not parsed
    EXPECT_EQ("s", answers[2].phone->sessionId);  // filled as far as it got
    EXPECT_EQ("w", answers[2].phone->webSocketDomain);

    const std::string url = env.peer.BaseUrl() + kPhoneConnectPath;
    EXPECT_TRUE(log.Contains("[PLAT_CLIENT]parse json[<html>not json</html>] failed"));
    EXPECT_TRUE(log.Contains("[PLAT_CLIENT]Http Req [" + url + "] Parse PhoneConnectRsp[<html>not json</html>] failed"));
    EXPECT_TRUE(log.Contains("[PLAT_CLIENT]Http Req [" + url + "] get rescode[500]"));
    EXPECT_TRUE(log.Contains("[PLAT_CLIENT]Json Get [streamInfo][webSocketPort] failed"));
}

TEST_F(SessionCallsTest, PlainGetDeliversTheWholeBody) {
    const std::string png("\x89PNG\0bytes", 10);
    peers::HttpServer files([&](const peers::HttpRequest& request) {
        peers::HttpReply reply;
        reply.status = request.method == "GET" && request.target == "/pic/1.png" ? 200 : 404;
        reply.body = png;
        return reply;
    }, true);
    const std::string url = files.BaseUrl() + "/pic/1.png";
    ASSERT_EQ(0, env.client->HttpGet(url.c_str(), "pic", &tag));
    ASSERT_TRUE(env.notic->WaitFor(1));
    const Answer answer = env.notic->Last();
    EXPECT_EQ("get", answer.kind);
    EXPECT_EQ(0, answer.result);
    EXPECT_EQ(200, answer.httpCode);
    EXPECT_EQ(png, answer.body);
    EXPECT_EQ("pic", answer.name);
    EXPECT_EQ(&tag, answer.userData);
    EXPECT_EQ(-1, env.client->HttpGet(nullptr, "pic", nullptr));
}

}  // namespace
