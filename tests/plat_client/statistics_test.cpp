// Statistics: the process-wide credentials, the unsigned security-token call
// and the collect call signed with the statistics keys.
#include <gtest/gtest.h>

#include <string>

#include "plat_test_support.h"
#include "stat_credentials.h"

using namespace plat_test;
using platform_peer::kMessageCollectPath;
using platform_peer::kSecurityTokenPath;

namespace {

class StatisticsTest : public ::testing::Test {
protected:
    // Each test starts as a fresh process would: no statistics keys yet.
    void SetUp() override { plat_client::StatCredentials::ResetForTest(); }
    void TearDown() override { plat_client::StatCredentials::ResetForTest(); }

    static plat_client::MessageCollect SampleMessage() {
        plat_client::MessageCollect m;
        m.metric = 1;
        m.collectType = 2;
        m.businessType = 1;
        m.sessionId = "sess-1";
        m.instanceNo = "inst-9";
        m.protocolType = "websocket";
        m.controlIp = "ws.example";
        m.port = "7443";
        m.errorCode = "";
        m.sdkType = "pc-sdk";
        m.sdkVersion1 = "1.1.0";
        m.sdkVersion2 = "1.0.3.0";
        m.startPlayTime = 1700000000000LL;
        m.firstFrameTime = 1700000000500LL;
        m.reconnectCount = 2;
        m.reconnectResult = 1;
        m.requestUrl = "https://api.example/x";
        m.responseBody = "{}";
        m.appName = "tessivoYunBox";
        return m;
    }

    PeerAndClient env;
};

TEST_F(StatisticsTest, CollectFetchesTheTokenFirstThenIsSignedWithTheStatisticsKeys) {
    // accessSecretKey "abcSECRETxyz12" -> trimmed to "SECRET".
    env.peer.AddKey("stat-ak", "SECRET");
    env.peer.Script(kSecurityTokenPath, 200, OkBody(R"({"accessKey":"stat-ak","accessSecretKey":"abcSECRETxyz12"})"));
    env.peer.Script(kMessageCollectPath, 200, R"({"code":0,"msg":"ok"})");

    LogRecorder log;
    const auto message = SampleMessage();
    EXPECT_EQ(-1, env.client->StatMessageCollect(message, "c0", nullptr));
    EXPECT_TRUE(log.Contains("[PLAT_CLIENT]MessageAccessKey or MessageAccessSecretKey is empty"));
    ASSERT_TRUE(env.notic->WaitFor(1));
    const Answer token = env.notic->Last();
    EXPECT_EQ("token", token.kind);
    EXPECT_EQ("", token.name);  // the collect call asks with no name
    EXPECT_EQ("stat-ak", token.token->accessKey);
    EXPECT_EQ("abcSECRETxyz12", token.token->accessSecretKey);
    const auto stored = plat_client::StatCredentials::Get();
    EXPECT_EQ("stat-ak", stored.accessKey);
    EXPECT_EQ("SECRET", stored.secret);

    const auto tokenCalls = env.peer.CallsTo(kSecurityTokenPath);
    ASSERT_EQ(1u, tokenCalls.size());
    EXPECT_EQ("", tokenCalls[0].error);  // unsigned, empty body, only Content-Type

    // Known keys: a token request sends nothing, and no answer follows.
    EXPECT_EQ(0, env.client->GetStatMessageSecurityToken("again", nullptr));

    ASSERT_EQ(0, env.client->StatMessageCollect(message, "c1", nullptr));
    ASSERT_TRUE(env.notic->WaitFor(2));
    EXPECT_EQ("collect", env.notic->Last().kind);
    EXPECT_EQ(0, env.notic->Last().collect->code);
    EXPECT_EQ(2u, env.notic->Count());
    EXPECT_EQ(1u, env.peer.CallsTo(kSecurityTokenPath).size());

    const auto collects = env.peer.CallsTo(kMessageCollectPath);
    ASSERT_EQ(1u, collects.size());
    EXPECT_EQ("", collects[0].error);
    EXPECT_EQ("stat-ak", collects[0].verified.accessKey);
    const auto& body = collects[0].verified.body;
    EXPECT_EQ("STAT_INFO", body["metricType"].asString());
    EXPECT_EQ("FIRST_FRAME", body["collectType"].asString());
    EXPECT_EQ("CLOUD_PHONE", body["businessType"].asString());
    EXPECT_EQ("WINDOWS_SDK", body["collectSource"].asString());
    EXPECT_TRUE(body["osInfo"]["isPc"].asBool());
    EXPECT_NEAR(static_cast<double>(collects[0].verified.dateMs), body["collectTime"].asDouble(), 60000.0);
    const auto& data = body["data"];
    EXPECT_EQ("sess-1", data["sessionId"].asString());
    EXPECT_EQ("7443", data["port"].asString());
    EXPECT_EQ(1700000000500LL, data["firstFrameTime"].asInt64());
    EXPECT_EQ(0, data["endPlayTime"].asInt64());
    EXPECT_EQ(2, data["reconnectCount"].asInt());
    EXPECT_EQ("tessivoYunBox", data["appName"].asString());
}

TEST_F(StatisticsTest, TheFirstKeysOfTheProcessStay) {
    env.client->SetStatMessageKey(nullptr, "ignored");
    env.client->SetStatMessageKey("first", "123abcd");
    env.client->SetStatMessageKey("second", "123efgh");
    EXPECT_EQ("first", plat_client::StatCredentials::Get().accessKey);
    EXPECT_EQ("abcd", plat_client::StatCredentials::Get().secret);

    // Another client of the process shares them.
    auto other = plat_client::IPlatClient::Create();
    env.peer.AddKey("first", "abcd");
    env.peer.Script(kMessageCollectPath, 200, R"({"code":0,"msg":"ok"})");
    auto notic = std::make_shared<RecordingNotic>();
    ASSERT_EQ(0, other->Init(env.peer.BaseUrl().c_str(), "u2", "a2", "s2", "2.0", notic, kConnectTimeoutMs, kTimeoutMs));
    ASSERT_EQ(0, other->StatMessageCollect(SampleMessage(), "o", nullptr));
    ASSERT_TRUE(notic->WaitFor(1));
    EXPECT_EQ(200, notic->Last().httpCode);
    EXPECT_TRUE(env.peer.Errors().empty());
    other->UnInit();
}

TEST_F(StatisticsTest, SecretTrimming) {
    EXPECT_EQ("defg", plat_client::TrimStatSecret("abcdefg"));      // 7: keeps its last 4
    EXPECT_EQ("", plat_client::TrimStatSecret("abcdefgh"));         // 8: nothing left
    EXPECT_EQ("de", plat_client::TrimStatSecret("abcdefghij"));     // 10: its 4th and 5th
    EXPECT_EQ("", plat_client::TrimStatSecret("ab"));               // shorter than 3
    EXPECT_EQ("", plat_client::TrimStatSecret("abc"));
    EXPECT_EQ("", plat_client::TrimStatSecret(""));
}

TEST_F(StatisticsTest, ASecretOfEightCharactersLeavesTheCredentialsIncomplete) {
    env.client->SetStatMessageKey("ak8", "12345678");
    EXPECT_EQ("", plat_client::StatCredentials::Get().secret);
    env.peer.Script(kSecurityTokenPath, 200, OkBody(R"({"accessKey":"other","accessSecretKey":"abcdefghij"})"));
    EXPECT_EQ(-1, env.client->StatMessageCollect(SampleMessage(), "c", nullptr));
    ASSERT_TRUE(env.notic->WaitFor(1));
    // The keys were fixed by the first call; the token answer changes nothing.
    EXPECT_EQ("ak8", plat_client::StatCredentials::Get().accessKey);
    EXPECT_TRUE(env.peer.CallsTo(kMessageCollectPath).empty());
}

TEST_F(StatisticsTest, AShortSecretIsStoredEmptyWithoutFailing) {
    env.client->SetStatMessageKey("ak", "xy");
    EXPECT_EQ("ak", plat_client::StatCredentials::Get().accessKey);
    EXPECT_EQ("", plat_client::StatCredentials::Get().secret);
}

TEST_F(StatisticsTest, AnErrorAnswerWithoutDataDoesNotFixEmptyKeys) {
    env.peer.Script(kSecurityTokenPath, 200, R"({"code":500100,"msg":"try later"})");
    env.peer.Script(kSecurityTokenPath, 200, OkBody(R"({"accessKey":"late-ak","accessSecretKey":"abcdefghij"})"));
    ASSERT_EQ(0, env.client->GetStatMessageSecurityToken("t1", nullptr));
    ASSERT_TRUE(env.notic->WaitFor(1));
    EXPECT_EQ(500100, env.notic->Last().token->code);
    EXPECT_EQ("", plat_client::StatCredentials::Get().accessKey);
    ASSERT_EQ(0, env.client->GetStatMessageSecurityToken("t2", nullptr));
    ASSERT_TRUE(env.notic->WaitFor(2));
    EXPECT_EQ("late-ak", plat_client::StatCredentials::Get().accessKey);
    EXPECT_EQ("de", plat_client::StatCredentials::Get().secret);
}

TEST_F(StatisticsTest, OutOfRangeNameIndexesAreRefused) {
    env.client->SetStatMessageKey("ak", "abcdefghij");
    auto message = SampleMessage();
    message.collectType = 9;
    EXPECT_EQ(-1, env.client->StatMessageCollect(message, "c", nullptr));
    message.collectType = 0;
    message.metric = -1;
    EXPECT_EQ(-1, env.client->StatMessageCollect(message, "c", nullptr));
    message.metric = 0;
    message.businessType = 2;
    EXPECT_EQ(-1, env.client->StatMessageCollect(message, "c", nullptr));
    EXPECT_EQ(0u, env.peer.CallCount());
}

}  // namespace
