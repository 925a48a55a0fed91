// Faults scripted per instance happen as scripted, and only as often as scripted.
#include <gtest/gtest.h>

#include <chrono>

#include "cloud_fixture.h"
#include "cloudsim/cloud_sim.h"
#include "relay_port/wire_format.h"
#include "signed_call.h"
#include "stream_client.h"

namespace cloudsim_test {
namespace {

namespace wire = relay_port::wire;

using FaultTest = CloudFixture;

TEST_F(FaultTest, ApiAnswersFailWithTheScriptedStatusForTheScriptedNumberOfCalls) {
    cloudsim::FaultScript script;
    script.httpStatus = 500;
    script.apiCalls = 2;
    cloud->SetFaults("CP-DEMO-0001", script);
    const int64_t ms = NowMs();
    const std::string body = Styled(PhoneConnectBody("demo-user", "CP-DEMO-0001", ms));
    const Credentials user = DemoUser();
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(PostSigned(cloud->HttpsUrl(), "/sdk/instance/phone-connect", body, user.accessKey,
                             user.secretKey, ms)
                      .status,
                  500);
    }
    // Other instances are not affected, and the script is used up.
    EXPECT_EQ(PhoneConnect(cloud->HttpsUrl(), user, "CP-DEMO-0002")["code"].asInt(), 0);
    EXPECT_EQ(PhoneConnect(cloud->HttpsUrl(), user, "CP-DEMO-0001")["code"].asInt(), 0);

    // "*" covers calls that name no instance.
    script = cloudsim::FaultScript();
    script.httpStatus = 503;
    script.apiCalls = 1;
    cloud->SetFaults("*", script);
    const auto token = [&] {
        return peers::HttpFetch("POST", cloud->HttpsUrl() + "/stat/message/security-token", "",
                                {{"Content-Type", "application/json"}})
            .status;
    };
    EXPECT_EQ(token(), 503);
    EXPECT_EQ(token(), 200);
}

TEST_F(FaultTest, DelayedAnswerStillArrives) {
    cloudsim::FaultScript script;
    script.delayMs = 300;
    cloud->SetFaults("CP-DEMO-0001", script);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(PhoneConnect(cloud->HttpsUrl(), DemoUser(), "CP-DEMO-0001")["code"].asInt(), 0);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
}

TEST_F(FaultTest, SocketIsDroppedOnceTheScriptedNumberOfPackagesWentOut) {
    cloudsim::FaultScript script;
    script.dropAfterPackages = 6;
    cloud->SetFaults("CP-DEMO-0001", script);
    const cloudsim::SessionInfo session = Connect("CP-DEMO-0001");
    StreamClient client;
    ASSERT_TRUE(client.Connect(WsUrl(session)));
    ASSERT_TRUE(client.Send(build::AuthReq(session.sessionId, "CP-DEMO-0001")));
    ASSERT_TRUE(client.Send(build::PlayReq(5, 500, session.sessionId)));
    int received = 0;
    Package package;
    while (client.Next(package)) ++received;
    // Frames still queued when the socket is cut are lost with it.
    EXPECT_GE(received, 1);
    EXPECT_LE(received, 6);

    // The next connection is not affected.
    StreamClient again;
    ASSERT_TRUE(again.Connect(WsUrl(session)));
    ASSERT_TRUE(again.AuthAndPlay(session.sessionId, "CP-DEMO-0001"));
    EXPECT_TRUE(again.WaitFor(wire::kVideoFrame, package));
}

TEST_F(FaultTest, ScriptedErrorFollowsThePlayResultAndEndsTheLink) {
    cloudsim::FaultScript script;
    script.errorCode = 60101999;
    script.errorMsg = "scripted";
    script.errorAfterPackages = 4;
    cloud->SetFaults("CP-DEMO-0001", script);
    const cloudsim::SessionInfo session = Connect("CP-DEMO-0001");
    StreamClient client;
    ASSERT_TRUE(client.Connect(WsUrl(session)));
    ASSERT_TRUE(client.AuthAndPlay(session.sessionId, "CP-DEMO-0001"));
    Package package;
    ASSERT_TRUE(client.WaitFor(wire::kError, package));
    int32_t code = 0;
    std::string msg;
    ASSERT_TRUE(read::CodeMsg(package, code, msg));
    EXPECT_EQ(code, 60101999);
    EXPECT_EQ(msg, "scripted");
    // auth result, play result, screen report and one media package came first.
    EXPECT_EQ(client.Seen().size(), 2u);  // AuthAndPlay consumed the two results
    EXPECT_FALSE(client.Next(package));

    // Any other code than 60103013 leaves the session id valid.
    StreamClient again;
    ASSERT_TRUE(again.Connect(WsUrl(session)));
    EXPECT_TRUE(again.AuthAndPlay(session.sessionId, "CP-DEMO-0001"));
}

TEST_F(FaultTest, DelayProbesGoUnansweredWhenScripted) {
    cloudsim::FaultScript script;
    script.noDelayEcho = true;
    cloud->SetFaults("CP-DEMO-0001", script);
    const cloudsim::SessionInfo session = Connect("CP-DEMO-0001");
    StreamClient client;
    ASSERT_TRUE(client.Connect(WsUrl(session)));
    ASSERT_TRUE(client.AuthAndPlay(session.sessionId, "CP-DEMO-0001"));
    client.ClearSeen();
    ASSERT_TRUE(client.Send(build::DelayProbe(42, session.sessionId)));
    ASSERT_TRUE(client.Send(build::MsgTransReq("svc", "after the probe")));
    Package package;
    ASSERT_TRUE(client.WaitFor(wire::kMsgTransRes, package));  // answered in order, so an echo would be here
    for (const auto& seen : client.Seen()) EXPECT_NE(seen.type, static_cast<uint32_t>(wire::kDelay));
    EXPECT_EQ(cloud->Received("CP-DEMO-0001")[2].kind, "delayProbe");
}

TEST_F(FaultTest, MalformedPackagesFollowThePlayResultAndStreamingGoesOn) {
    cloudsim::FaultScript script;
    script.malformedPackages = true;
    cloud->SetFaults("CP-DEMO-0001", script);
    const cloudsim::SessionInfo session = Connect("CP-DEMO-0001");
    StreamClient client;
    ASSERT_TRUE(client.Connect(WsUrl(session)));
    ASSERT_TRUE(client.AuthAndPlay(session.sessionId, "CP-DEMO-0001"));
    Package package;
    ASSERT_TRUE(client.WaitFor(wire::kScreenOut, package));
    int shortFrames = 0, lyingHeaders = 0, unknownTypes = 0, badTables = 0, shortMedia = 0;
    for (int i = 0; i < 7; ++i) {
        ASSERT_TRUE(client.Next(package));
        uint32_t rotation = 0, width = 0, height = 0;
        if (package.frameLength < wire::kHeaderSize) ++shortFrames;
        else if (!package.wellFormed) ++lyingHeaders;
        else if (package.type == 4999) ++unknownTypes;
        else if (package.type == wire::kScreenOut && !read::ScreenOut(package, rotation, width, height)) ++badTables;
        else if (package.type == wire::kCopyOut && package.body.empty()) ++badTables;
        else if (package.type == wire::kVideoFrame && package.body.size() < wire::kVideoPrefixSize) ++shortMedia;
        else if (package.type == wire::kAudioFrame && package.body.size() < 2) ++shortMedia;
    }
    EXPECT_EQ(shortFrames, 1);
    EXPECT_EQ(lyingHeaders, 1);
    EXPECT_EQ(unknownTypes, 1);
    EXPECT_EQ(badTables, 2);
    EXPECT_EQ(shortMedia, 2);
    ASSERT_TRUE(client.WaitFor(wire::kVideoFrame, package));
    EXPECT_GT(package.body.size(), wire::kVideoPrefixSize);
}

TEST_F(FaultTest, RefusedUpgradeLetsTheNextConnectionIn) {
    cloudsim::FaultScript script;
    script.refuseUpgrade = true;
    cloud->SetFaults("CP-DEMO-0001", script);
    const cloudsim::SessionInfo session = Connect("CP-DEMO-0001");
    StreamClient refused;
    EXPECT_FALSE(refused.Connect(WsUrl(session)));
    StreamClient accepted;
    ASSERT_TRUE(accepted.Connect(WsUrl(session)));
    EXPECT_TRUE(accepted.AuthAndPlay(session.sessionId, "CP-DEMO-0001"));
}

TEST_F(FaultTest, CutStreamsEndsTheLinkWithoutAnErrorAndTheSessionPlaysAgain) {
    const cloudsim::SessionInfo session = Connect("CP-DEMO-0001");
    for (const cloudsim::CutKind kind : {cloudsim::CutKind::kCloseFrame, cloudsim::CutKind::kTcpDrop}) {
        StreamClient client;
        ASSERT_TRUE(client.Connect(WsUrl(session)));
        ASSERT_TRUE(client.AuthAndPlay(session.sessionId, "CP-DEMO-0001"));
        EXPECT_EQ(cloud->CutStreams("CP-DEMO-0001", kind), 1);
        Package package;
        while (client.Next(package)) EXPECT_NE(package.type, static_cast<uint32_t>(wire::kError));
        EXPECT_FALSE(client.IsOpen());
    }
    EXPECT_EQ(cloud->CutStreams("CP-DEMO-0002", cloudsim::CutKind::kTcpDrop), 0);
    StreamClient again;
    ASSERT_TRUE(again.Connect(WsUrl(session)));
    EXPECT_TRUE(again.AuthAndPlay(session.sessionId, "CP-DEMO-0001"));
}

TEST_F(FaultTest, TimedUpgradeRefusalEndsByItself) {
    cloudsim::FaultScript script;
    script.refuseUpgrade = true;
    script.refuseUpgradeMs = 300;
    script.streamConnections = -1;
    const auto start = std::chrono::steady_clock::now();
    cloud->SetFaults("CP-DEMO-0001", script);
    const cloudsim::SessionInfo session = Connect("CP-DEMO-0001");
    StreamClient refused;
    EXPECT_FALSE(refused.Connect(WsUrl(session)));
    // Connect again until the cloud lets the link in; the bound only ends a broken run.
    StreamClient accepted;
    const auto bound = start + std::chrono::seconds(30);
    while (!accepted.Connect(WsUrl(session)) && std::chrono::steady_clock::now() < bound) {
    }
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
    EXPECT_TRUE(accepted.AuthAndPlay(session.sessionId, "CP-DEMO-0001"));
}

}  // namespace
}  // namespace cloudsim_test
