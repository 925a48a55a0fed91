// Calls from several threads while answers arrive; UnInit racing with callers.
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "plat_test_support.h"
#include "stat_credentials.h"

using namespace plat_test;
using namespace platform_peer;

namespace {

peers::HttpReply Json(const std::string& body) {
    peers::HttpReply reply;
    reply.headers = {{"Content-Type", "application/json"}};
    reply.body = body;
    return reply;
}

void ScriptDefaults(PlatformPeer& peer) {
    peer.SetDefault(kPhoneConnectPath, Json(OkBody(R"({"sessionId":"p","streamInfo":{"webSocketDomain":"w","webSocketPort":1}})")));
    peer.SetDefault(kRefreshSessionPath, Json(OkBody(R"({"sessionId":"r"})")));
    peer.SetDefault(kGroupControlPath, Json(OkBody(R"({"successList":[{"sessionId":"g","gCtrlNodeNo":"n"}]})")));
    peer.SetDefault(kScreenshotPath, Json(OkBody(R"([{"instanceNo":"a","picUrl":"u"}])")));
    peer.SetDefault(kMessageCollectPath, Json(R"({"code":0,"msg":"ok"})"));
}

// Sends call number i of a thread; returns the operation's result.
int SendOne(plat_client::IPlatClient& client, int i, void* tag) {
    switch (i % 5) {
        case 0: return client.GetPhoneConnect("inst", "", "phone", tag);
        case 1: return client.RefreshSession("refresh", tag);
        case 2: {
            const char* instances[] = {"a", "b"};
            return client.PhoneGroupControlConnect(instances, 2, "group", tag);
        }
        case 3: return client.Screenshot(plat_client::ScreenshotReq(), {"a"}, "shot", tag);
        default: {
            plat_client::MessageCollect message;
            message.metric = 1;
            return client.StatMessageCollect(message, "collect", tag);
        }
    }
}

TEST(PlatClientConcurrency, CallsFromSeveralThreadsAllGetTheirAnswer) {
    plat_client::StatCredentials::ResetForTest();
    PeerAndClient env;
    env.peer.AddKey("ak-b", "sk-b");
    env.peer.AddKey("stat-ak", "de");
    ScriptDefaults(env.peer);
    env.client->SetStatMessageKey("stat-ak", "abcdefghij");

    constexpr int kThreads = 4;
    constexpr int kCallsEach = 20;
    std::vector<int> tags(kThreads);
    std::atomic<int> sent{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kCallsEach; ++i) {
                if (t == 0 && i % 4 == 0) env.client->SetKey(i % 8 == 0 ? "ak-b" : kAccessKey, i % 8 == 0 ? "sk-b" : kSecretKey);
                if (SendOne(*env.client, i, &tags[t]) == 0) ++sent;
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(kThreads * kCallsEach, sent.load());
    ASSERT_TRUE(env.notic->WaitFor(kThreads * kCallsEach));

    std::map<void*, int> perThread;
    for (const auto& answer : env.notic->Answers()) {
        EXPECT_EQ(0, answer.result);
        EXPECT_EQ(200, answer.httpCode) << answer.kind;
        ++perThread[answer.userData];
    }
    for (int t = 0; t < kThreads; ++t) EXPECT_EQ(kCallsEach, perThread[&tags[t]]);
    EXPECT_TRUE(env.peer.Errors().empty()) << env.peer.Errors().front();
    plat_client::StatCredentials::ResetForTest();
}

TEST(PlatClientConcurrency, UnInitWhileOtherThreadsKeepCalling) {
    PeerAndClient env;
    ScriptDefaults(env.peer);
    std::atomic<int> sent{0};
    std::atomic<bool> started{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < 3; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 200; ++i) {
                if (SendOne(*env.client, i % 4, nullptr) != 0) break;  // refused once uninitialised
                ++sent;
                started = true;
            }
        });
    }
    while (!started.load()) std::this_thread::yield();
    ASSERT_EQ(0, env.client->UnInit());
    for (auto& thread : threads) thread.join();
    EXPECT_LE(env.notic->Count(), static_cast<size_t>(sent.load()));
    EXPECT_EQ(-1, env.client->RefreshSession("after", nullptr));
}

// A notic that uninitialises the client from inside an answer.
class UnInitOnAnswer : public RecordingNotic {
public:
    std::shared_ptr<plat_client::IPlatClient> client;
    void OnRefreshSessionRsp(int result, int httpCode, std::shared_ptr<plat_client::RefreshSessionRsp> rsp,
                             const char* name, void* userData) override {
        RecordingNotic::OnRefreshSessionRsp(result, httpCode, rsp, name, userData);
        client->UnInit();
        client.reset();
    }
};

TEST(PlatClientConcurrency, UnInitFromInsideAnAnswerThenInitAgain) {
    PlatformPeer peer(platform_peer::KeyTable{{kAccessKey, kSecretKey}});
    ScriptDefaults(peer);
    auto client = plat_client::IPlatClient::Create();
    auto notic = std::make_shared<UnInitOnAnswer>();
    notic->client = client;
    ASSERT_EQ(0, client->Init(peer.BaseUrl().c_str(), kUserId, kAccessKey, kSecretKey, kSdkVersion, notic, kConnectTimeoutMs,
                              kTimeoutMs));
    ASSERT_EQ(0, client->RefreshSession("inside", nullptr));
    ASSERT_TRUE(notic->WaitFor(1));

    auto next = std::make_shared<RecordingNotic>();
    int rc = -1;
    for (int i = 0; i < 1000 && rc != 0; ++i) {  // the UnInit on the loop thread finishes asynchronously
        rc = client->Init(peer.BaseUrl().c_str(), kUserId, kAccessKey, kSecretKey, kSdkVersion, next, kConnectTimeoutMs, kTimeoutMs);
        if (rc != 0) std::this_thread::yield();
    }
    ASSERT_EQ(0, rc);
    ASSERT_EQ(0, client->RefreshSession("again", nullptr));
    ASSERT_TRUE(next->WaitFor(1));
    EXPECT_EQ(200, next->Last().httpCode);
    client->UnInit();
}

}  // namespace
