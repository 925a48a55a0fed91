// Init/UnInit rules, transfer failures, and the plain-HTTP base URL.
#include <gtest/gtest.h>

#include <string>

#include "base/base_log.h"
#include "plat_test_support.h"

using namespace plat_test;
using platform_peer::kPhoneConnectPath;
using platform_peer::kRefreshSessionPath;

namespace {

const char* const kRefreshOk = R"({"code":0,"msg":"ok","data":{"sessionId":"s"}})";

TEST(PlatClientLifecycle, RefusesBadArgumentsAndWrongStates) {
    platform_peer::PlatformPeer peer(platform_peer::KeyTable{{kAccessKey, kSecretKey}});
    auto notic = std::make_shared<RecordingNotic>();
    auto client = plat_client::IPlatClient::Create();
    const std::string url = peer.BaseUrl();

    EXPECT_EQ(-1, client->RefreshSession("early", nullptr));
    EXPECT_EQ(-1, client->GetPhoneConnect("i", "", "early", nullptr));
    EXPECT_EQ(-1, client->UnInit());
    EXPECT_EQ(-1, client->Init(nullptr, kUserId, kAccessKey, kSecretKey, kSdkVersion, notic, 1000, 1000));
    EXPECT_EQ(-1, client->Init(url.c_str(), kUserId, nullptr, kSecretKey, kSdkVersion, notic, 1000, 1000));
    EXPECT_EQ(-1, client->Init(url.c_str(), kUserId, kAccessKey, kSecretKey, nullptr, notic, 1000, 1000));

    ASSERT_EQ(0, client->Init(url.c_str(), kUserId, kAccessKey, kSecretKey, kSdkVersion, notic, kConnectTimeoutMs, kTimeoutMs));
    EXPECT_EQ(-1, client->Init(url.c_str(), kUserId, kAccessKey, kSecretKey, kSdkVersion, notic, kConnectTimeoutMs, kTimeoutMs));
    EXPECT_EQ(-1, client->GetPhoneConnect(nullptr, "", "x", nullptr));
    EXPECT_EQ(0, client->UnInit());
    EXPECT_EQ(-1, client->UnInit());
    EXPECT_EQ(-1, client->RefreshSession("late", nullptr));
    EXPECT_EQ(0u, peer.CallCount());
    EXPECT_EQ(0u, notic->Count());
}

TEST(PlatClientLifecycle, UnInitThenInitRunsANewEngine) {
    LogRecorder log;
    platform_peer::PlatformPeer peer(platform_peer::KeyTable{{kAccessKey, kSecretKey}, {"ak-2", "sk-2"}});
    peer.SetDefault(kRefreshSessionPath, [] {
        peers::HttpReply reply;
        reply.body = kRefreshOk;
        return reply;
    }());
    auto client = plat_client::IPlatClient::Create();
    const std::string url = peer.BaseUrl();

    auto first = std::make_shared<RecordingNotic>();
    ASSERT_EQ(0, client->Init(url.c_str(), kUserId, kAccessKey, kSecretKey, kSdkVersion, first, kConnectTimeoutMs, kTimeoutMs));
    ASSERT_EQ(0, client->RefreshSession("one", nullptr));
    ASSERT_TRUE(first->WaitFor(1));
    ASSERT_EQ(0, client->UnInit());
    EXPECT_TRUE(log.Contains("[PLAT_CLIENT]paas control UnInit"));
    EXPECT_TRUE(log.Contains("[PLAT_CLIENT]clear http req"));

    auto second = std::make_shared<RecordingNotic>();
    ASSERT_EQ(0, client->Init(url.c_str(), kUserId, "ak-2", "sk-2", kSdkVersion, second, kConnectTimeoutMs, kTimeoutMs));
    ASSERT_EQ(0, client->RefreshSession("two", nullptr));
    ASSERT_TRUE(second->WaitFor(1));
    EXPECT_NE(first->Last().threadId, second->Last().threadId);  // a new loop thread
    EXPECT_EQ(1u, first->Count());
    ASSERT_EQ(0, client->UnInit());

    const auto calls = peer.CallsTo(kRefreshSessionPath);
    ASSERT_EQ(2u, calls.size());
    EXPECT_EQ("", calls[0].error);
    EXPECT_EQ("", calls[1].error);
    EXPECT_EQ("ak-2", calls[1].verified.accessKey);
}

TEST(PlatClientLifecycle, SetKeyChangesTheSigningKeys) {
    PeerAndClient env;
    env.peer.AddKey("ak-new", "sk-new");
    env.peer.SetDefault(kRefreshSessionPath, [] {
        peers::HttpReply reply;
        reply.body = kRefreshOk;
        return reply;
    }());
    env.client->SetKey("ak-new", "sk-new");
    env.client->SetKey(nullptr, "ignored");
    ASSERT_EQ(0, env.client->RefreshSession("r", nullptr));
    ASSERT_TRUE(env.notic->WaitFor(1));
    const auto calls = env.peer.Calls();
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ("", calls[0].error);
    EXPECT_EQ("ak-new", calls[0].verified.accessKey);
}

TEST(PlatClientLifecycle, AWrongSecretIsCaughtByThePeer) {
    platform_peer::PlatformPeer peer(platform_peer::KeyTable{{kAccessKey, "another-secret"}});
    auto notic = std::make_shared<RecordingNotic>();
    auto client = plat_client::IPlatClient::Create();
    ASSERT_EQ(0, client->Init(peer.BaseUrl().c_str(), kUserId, kAccessKey, kSecretKey, kSdkVersion, notic, kConnectTimeoutMs,
                              kTimeoutMs));
    ASSERT_EQ(0, client->RefreshSession("r", nullptr));
    ASSERT_TRUE(notic->WaitFor(1));
    EXPECT_EQ(401, notic->Last().httpCode);
    ASSERT_EQ(1u, peer.Errors().size());
    EXPECT_NE(std::string::npos, peer.Errors()[0].find("signature mismatch"));
    client->UnInit();
}

TEST(PlatClientLifecycle, ARefusedPortReportsTransferFailure) {
    uint16_t port = 0;
    {
        peers::HttpServer closed([](const peers::HttpRequest&) { return peers::HttpReply(); });
        port = closed.Port();
    }
    const std::string url = "https://127.0.0.1:" + std::to_string(port);
    LogRecorder log;
    auto notic = std::make_shared<RecordingNotic>();
    auto client = plat_client::IPlatClient::Create();
    ASSERT_EQ(0, client->Init(url.c_str(), kUserId, kAccessKey, kSecretKey, kSdkVersion, notic, kConnectTimeoutMs, kTimeoutMs));
    ASSERT_EQ(0, client->GetPhoneConnect("i", "", "refused", nullptr));
    ASSERT_TRUE(notic->WaitFor(1));
    const Answer answer = notic->Last();
    EXPECT_EQ(-2, answer.result);
    EXPECT_EQ(0, answer.httpCode);
    ASSERT_TRUE(answer.phone);
    EXPECT_EQ("", answer.phone->sessionId);
    EXPECT_EQ("/sdk/instance/phone-connect", answer.phone->path);
    EXPECT_TRUE(log.Contains("[PLAT_CLIENT]Http Req [" + url + kPhoneConnectPath + "] failed"));
    client->UnInit();
}

TEST(PlatClientLifecycle, PlainHttpBaseUrlWorks) {
    PeerAndClient env(false);
    ASSERT_EQ(0, env.peer.BaseUrl().rfind("http://", 0));
    env.peer.Script(kRefreshSessionPath, 200, kRefreshOk);
    ASSERT_EQ(0, env.client->RefreshSession("r", nullptr));
    ASSERT_TRUE(env.notic->WaitFor(1));
    EXPECT_EQ(200, env.notic->Last().httpCode);
    EXPECT_EQ("s", env.notic->Last().refresh->sessionId);
    EXPECT_TRUE(env.peer.Errors().empty());
}

TEST(PlatClientLifecycle, AnswersArriveOnTheEngineThreadOneAtATime) {
    PeerAndClient env;
    env.peer.SetDefault(kRefreshSessionPath, [] {
        peers::HttpReply reply;
        reply.body = kRefreshOk;
        return reply;
    }());
    for (int i = 0; i < 5; ++i) ASSERT_EQ(0, env.client->RefreshSession("r", nullptr));
    ASSERT_TRUE(env.notic->WaitFor(5));
    const auto answers = env.notic->Answers();
    for (const auto& answer : answers) {
        EXPECT_NE(base::GetTid(), answer.threadId);
        EXPECT_EQ(answers[0].threadId, answer.threadId);
    }
}

TEST(PlatClientLifecycle, UnInitDropsCallsInFlightWithoutAnswering) {
    PeerAndClient env;
    peers::HttpReply slow;
    slow.body = kRefreshOk;
    slow.delayMs = 3000;
    env.peer.SetDefault(kRefreshSessionPath, slow);
    ASSERT_EQ(0, env.client->RefreshSession("slow", nullptr));
    ASSERT_EQ(0, env.client->UnInit());
    EXPECT_EQ(0u, env.notic->Count());
    EXPECT_EQ(-1, env.client->RefreshSession("after", nullptr));
}

TEST(PlatClientLifecycle, DroppingAnInitialisedClientStopsItsEngine) {
    platform_peer::PlatformPeer peer(platform_peer::KeyTable{{kAccessKey, kSecretKey}});
    auto notic = std::make_shared<RecordingNotic>();
    auto client = plat_client::IPlatClient::Create();
    ASSERT_EQ(0, client->Init(peer.BaseUrl().c_str(), kUserId, kAccessKey, kSecretKey, kSdkVersion, notic, kConnectTimeoutMs,
                              kTimeoutMs));
    std::weak_ptr<plat_client::IPlatClient> weak = client;
    client.reset();
    EXPECT_TRUE(weak.expired());  // neither the engine nor a handle keeps it alive
}

}  // namespace
