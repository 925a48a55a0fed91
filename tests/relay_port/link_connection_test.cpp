// The connection machine against the scripted stream peer: connect, auth,
// play, delay probe, errors, reconnection, parameter checks and the ready gate.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "link_fixture.h"

using namespace relay_test;
using relay_port::IRelayPort;
using stream_peer::MessageWriter;
using stream_peer::StreamPeer;

namespace {

struct Link {
    std::shared_ptr<IRelayPort> port = IRelayPort::Create();
    std::shared_ptr<RecordingNotic> notic = std::make_shared<RecordingNotic>();
    ~Link() { port->UnInit(); }
};

void ExpectPlaying(StreamPeer& peer, Link& link, const LinkParams& p = LinkParams()) {
    ASSERT_EQ(InitLink(*link.port, peer.Url(), p, link.notic), 0);
    ASSERT_TRUE(link.notic->WaitFor("status:2"));
}

void CheckAuthAndPlay(StreamPeer& peer) {
    LogCollector log;
    Link link;
    ExpectPlaying(peer, link);
    auto auth = peer.ReceivedOf(stream_peer::kAuthReq);
    ASSERT_EQ(auth.size(), 1u);
    auto a = auth[0].Table();
    EXPECT_EQ(a.Str(0), "sess-1");
    EXPECT_EQ(a.Str(1), "inst-9");
    EXPECT_EQ(a.Str(2), "1.1.0");
    EXPECT_FALSE(a.Has(3));  // authType 1 is the default
    EXPECT_EQ(a.U32(4), 7u);
    EXPECT_EQ(a.Str(5), "extra");
    EXPECT_EQ(a.U32(6), 3u);
    EXPECT_GT(a.I64(7), 1600000000000);

    auto play = peer.ReceivedOf(stream_peer::kPlayReq);
    ASSERT_EQ(play.size(), 1u);
    auto p = play[0].Table();
    EXPECT_EQ(p.U32(0), 1u);
    EXPECT_EQ(p.U32(1), 4000000u);
    EXPECT_EQ(p.U32(2), 30u);
    EXPECT_EQ(p.U32(3), 720u);
    EXPECT_EQ(p.U32(4), 1280u);
    EXPECT_EQ(p.U32(5), 2u);
    EXPECT_EQ(p.U32(6), 48000u);
    EXPECT_EQ(p.U32(7), 2u);
    EXPECT_EQ(p.Str(8), "text-one");
    EXPECT_EQ(p.Str(9), "text-two");
    EXPECT_EQ(p.Str(10), "sess-1");
    EXPECT_GE(p.I64(11), a.I64(7));

    EXPECT_EQ(link.notic->Events()[0], "status:2");
    EXPECT_TRUE(link.notic->WaitFor("play:0:playing:1:4000000:30:720:1280:2:48000:2"));
    EXPECT_TRUE(log.Has("[RELAY_PORT]Begin WSConnect succ!"));
    EXPECT_TRUE(log.Has("[RELAY_PORT]Connetc websocket succ;Begin auth!"));
    EXPECT_TRUE(log.Has("[RELAY_PORT]User[tester], unpack_auth_res, code[0], hubVersion[hub-2.4], codecs[h264,opus]"));
    EXPECT_TRUE(log.Has("[RELAY_PORT]User[tester], unpack_play_res, code:[0], vCodec:[1], bitrate:[4000000], fps:[30], "
                        "w:[720], h:[1280], aCodec:[2], samplerate:[48000], channel:[2]"));
}

}  // namespace

TEST(LinkConnection, AuthPlayAndPlayingOverPlainWebSocket) {
    StreamPeer peer(false);
    CheckAuthAndPlay(peer);
}

TEST(LinkConnection, AuthPlayAndPlayingOverTls) {
    StreamPeer peer(true);
    CheckAuthAndPlay(peer);
}

TEST(LinkConnection, SecondInitIsRefusedAndUnInitAllowsANewOne) {
    StreamPeer peer;
    Link link;
    ExpectPlaying(peer, link);
    LinkParams p;
    EXPECT_EQ(InitLink(*link.port, peer.Url(), p, link.notic), -1);
    EXPECT_EQ(peer.Connections(), 1u);
    EXPECT_EQ(link.port->UnInit(), 0);
    EXPECT_EQ(link.port->UnInit(), -1);
    link.notic->Clear();
    ExpectPlaying(peer, link);
    EXPECT_TRUE(peer.WaitForConnections(2));
}

TEST(LinkConnection, ParameterChecksRefuseInitWithTheirLines) {
    StreamPeer peer;
    struct Case {
        const char* line;
        std::function<void(LinkParams&)> spoil;
    };
    std::vector<Case> cases = {
        {"[RELAY_PORT]instanceNo or sessionId is empty", [](LinkParams& p) { p.auth.instanceNo[0] = 0; }},
        {"[RELAY_PORT]instanceNo or sessionId is empty", [](LinkParams& p) { p.auth.sessionId[0] = 0; }},
        {"[RELAY_PORT]video param is illegal", [](LinkParams& p) { p.video.width = 99; }},
        {"[RELAY_PORT]video param is illegal", [](LinkParams& p) { p.video.fps = 61; }},
        {"[RELAY_PORT]audio param is illegal", [](LinkParams& p) { p.audio.sampleRate = 7999; }},
        {"[RELAY_PORT]audio param is illegal", [](LinkParams& p) { p.audio.channels = 17; }},
        {"[RELAY_PORT]ws system param is illegal", [](LinkParams& p) { p.system.connectTimeoutMs = 30001; }},
        {"[RELAY_PORT]ws system param is illegal", [](LinkParams& p) { p.system.reconnectIntervalMs = 999; }},
    };
    for (const auto& c : cases) {
        LogCollector log;
        Link link;
        LinkParams p;
        c.spoil(p);
        EXPECT_EQ(InitLink(*link.port, peer.Url(), p, link.notic), -1) << c.line;
        EXPECT_TRUE(log.Has(c.line)) << c.line;
        EXPECT_TRUE(log.Has("[RELAY_PORT]check param failed"));
    }
    Link link;
    LinkParams p;
    EXPECT_EQ(link.port->Init("u", peer.Url().c_str(), &p.auth, &p.video, &p.audio, &p.system, nullptr), -1);
    EXPECT_EQ(link.port->Init("u", nullptr, &p.auth, &p.video, &p.audio, &p.system, link.notic), -1);
    EXPECT_EQ(peer.Connections(), 0u);

    // The lowest accepted values connect.
    p.video.width = 100;
    p.video.height = 100;
    p.video.fps = 60;
    p.audio.sampleRate = 8000;
    p.audio.channels = 1;
    p.system.connectTimeoutMs = 1000;
    p.system.reconnectIntervalMs = 1000;
    ExpectPlaying(peer, link, p);
}

TEST(LinkConnection, UpgradeThatNeverComesTimesOutAndReportsDisconnected) {
    LogCollector log;
    SilentListener silent;
    Link link;
    LinkParams p;
    p.system.reconnect = 0;
    p.system.connectTimeoutMs = 1000;
    ASSERT_EQ(InitLink(*link.port, silent.Url(), p, link.notic), 0);
    ASSERT_TRUE(link.notic->WaitFor("status:0"));
    EXPECT_TRUE(log.Has("[RELAY_PORT]get websocket rescode timeout"));
    EXPECT_FALSE(log.Has("Begin connect websocket"));
}

TEST(LinkConnection, WithoutReconnectAFailedFirstConnectFailsInit) {
    LogCollector log;
    StreamPeer peer;
    Link link;
    LinkParams p;
    p.system.reconnect = 0;
    // libcurl refuses a URL of more than 8000000 bytes, so the handle cannot be set up.
    std::string huge = "ws://127.0.0.1:1/" + std::string(8000001, 'a');
    EXPECT_EQ(InitLink(*link.port, huge, p, link.notic), -1);
    EXPECT_TRUE(log.Has("[RELAY_PORT]init ws handle failed"));
    EXPECT_TRUE(log.Has("[RELAY_PORT]Begin WSConnect failed; "));
    // State went back to 0: the same object initialises again.
    ExpectPlaying(peer, link);
}

TEST(LinkConnection, WithReconnectAFailedFirstConnectKeepsTrying) {
    LogCollector log;
    Link link;
    LinkParams p;
    std::string huge = "ws://127.0.0.1:1/" + std::string(8000001, 'a');
    EXPECT_EQ(InitLink(*link.port, huge, p, link.notic), 0);
    EXPECT_TRUE(log.Has("[RELAY_PORT]Start reconnect timer!"));
    EXPECT_TRUE(log.WaitFor("[RELAY_PORT]reConnect failed"));
}

TEST(LinkConnection, RefusedUpgradeIsRetriedUntilTheServerAccepts) {
    LogCollector log;
    StreamPeer peer;
    peer.SetUpgradeStatus(503);
    Link link;
    LinkParams p;
    p.system.connectTimeoutMs = 1000;
    ASSERT_EQ(InitLink(*link.port, peer.Url(), p, link.notic), 0);
    ASSERT_TRUE(link.notic->WaitFor("status:0"));
    peer.SetUpgradeStatus(101);
    ASSERT_TRUE(link.notic->WaitFor("status:1"));
    ASSERT_TRUE(link.notic->WaitFor("status:2"));
    EXPECT_GE(peer.Upgrades(), 2u);
    EXPECT_TRUE(log.Has("[RELAY_PORT]Begin check websocket status timer"));
}

TEST(LinkConnection, AuthRefusalIsReportedAndDisconnects) {
    LogCollector log;
    StreamPeer peer;
    stream_peer::AuthAnswer refuse;
    refuse.code = 401;
    refuse.msg = "bad ticket";
    peer.SetAuthAnswer(refuse);
    Link link;
    ASSERT_EQ(InitLink(*link.port, peer.Url(), LinkParams(), link.notic), 0);
    ASSERT_TRUE(link.notic->WaitFor("status:0"));
    EXPECT_EQ(link.notic->Events(), (std::vector<std::string>{"error:401:bad ticket", "status:0"}));
    EXPECT_TRUE(log.Has("[RELAY_PORT]auth failed, code[401], msg[bad ticket]"));
    EXPECT_EQ(peer.CountOf(stream_peer::kPlayReq), 0u);
}

TEST(LinkConnection, PlayRefusalIsReportedAndDisconnects) {
    LogCollector log;
    StreamPeer peer;
    stream_peer::PlayAnswer refuse;
    refuse.code = 60102001;
    refuse.msg = "no capacity";
    peer.SetPlayAnswer(refuse);
    Link link;
    ASSERT_EQ(InitLink(*link.port, peer.Url(), LinkParams(), link.notic), 0);
    ASSERT_TRUE(link.notic->WaitFor("status:0"));
    EXPECT_EQ(link.notic->Count("error:60102001:no capacity"), 1u);
    EXPECT_TRUE(log.Has("[RELAY_PORT]play failed, code[60102001], msg[no capacity]"));
    EXPECT_TRUE(log.Has("[RELAY_PORT]Start Disconnect websocket Timer"));
}

TEST(LinkConnection, DelayEchoIsAnsweredWithHalfTheRoundTrip) {
    StreamPeer peer;
    peer.SetEchoShiftMs(400);  // the echo looks 400 ms older than the probe
    Link link;
    ExpectPlaying(peer, link);
    ASSERT_TRUE(peer.WaitForCount(stream_peer::kDelayReport, 1));
    auto probe = peer.ReceivedOf(stream_peer::kDelay)[0].Table();
    EXPECT_EQ(probe.Str(1), "sess-1");
    EXPECT_EQ(probe.I64(0), probe.I64(2));
    auto report = peer.ReceivedOf(stream_peer::kDelayReport)[0].Table();
    uint32_t delay = report.U32(2);
    EXPECT_GE(delay, 200u);
    EXPECT_LT(delay, 200u + 5000u);
    EXPECT_EQ(report.Str(3), "sess-1");
    EXPECT_GE(report.I64(4), probe.I64(0));
    ASSERT_TRUE(link.notic->WaitForPrefix("delay:"));
    EXPECT_EQ(link.notic->WithPrefix("delay:")[0], "delay:" + std::to_string(delay));
}

TEST(LinkConnection, MissingEchoForMoreThanTenSecondsReconnects) {
    LogCollector log;
    StreamPeer peer;
    peer.SetEchoDelay(false);
    Link link;
    ExpectPlaying(peer, link);
    ASSERT_TRUE(log.WaitFor("greater than [10000]; reconnect ws", 20000));
    ASSERT_TRUE(link.notic->WaitFor("status:0"));
    ASSERT_TRUE(link.notic->WaitFor("status:2", 2));
    EXPECT_EQ(peer.CountOf(stream_peer::kAuthReq), 2u);
    EXPECT_TRUE(log.Has("[RELAY_PORT]Start reconnect websocket timer"));
}

TEST(LinkConnection, NewSessionErrorReconnectsAndOtherErrorsDisconnectForGood) {
    LogCollector log;
    StreamPeer peer;
    Link link;
    ExpectPlaying(peer, link);
    ASSERT_TRUE(peer.Send(MessageWriter().I32(0, 60103013).Str(1, "renew").Package(stream_peer::kError)));
    ASSERT_TRUE(link.notic->WaitFor("error:60103013:renew"));
    ASSERT_TRUE(link.notic->WaitFor("status:2", 2));
    EXPECT_TRUE(log.Has("[RELAY_PORT]User[tester] unpack_error, code[60103013] msg[renew]; disconnect!"));
    EXPECT_TRUE(log.Has("[RELAY_PORT]Recv Error [60103013][renew] Disconnect And Reconnect ws"));
    // UpdateSessionId takes effect in every later message.
    EXPECT_EQ(link.port->UpdateSessionId("sess-2"), 0);
    ASSERT_EQ(link.port->SendInputModeReq(1), 0);
    ASSERT_TRUE(peer.WaitForCount(2014, 1));
    EXPECT_EQ(peer.ReceivedOf(2014)[0].Table().Str(1), "sess-2");

    size_t connections = peer.Connections();
    ASSERT_TRUE(peer.Send(MessageWriter().I32(0, 60101001).Str(1, "kicked").Package(stream_peer::kError)));
    ASSERT_TRUE(link.notic->WaitFor("error:60101001:kicked"));
    ASSERT_TRUE(link.notic->WaitFor("status:0", 2));
    EXPECT_TRUE(log.Has("[RELAY_PORT]Recv Error [60101001][kicked] Disconnect ws"));
    // Longer than the reconnect interval: nothing comes back.
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_EQ(peer.Connections(), connections);
    EXPECT_EQ(link.port->SendDummyReq(), -1);
}

TEST(LinkConnection, CloseFromThePeerReconnects) {
    LogCollector log;
    StreamPeer peer;
    Link link;
    ExpectPlaying(peer, link);
    peer.CloseAll();
    ASSERT_TRUE(link.notic->WaitFor("status:0"));
    ASSERT_TRUE(link.notic->WaitFor("status:2", 2));
    EXPECT_TRUE(log.Has("[RELAY_PORT]User[tester] websocket closed; reconnect ws"));
    EXPECT_EQ(peer.Connections(), 2u);
}

// Bounds below are far under what the delay probe (10 s of silence) or the
// connect time-out would take, yet generous for a loaded machine.
constexpr auto kPromptly = std::chrono::seconds(8);

TEST(LinkConnection, TcpDropIsNoticedAtOnceAndPlayingResumesAfterTheReconnectInterval) {
    LogCollector log;
    StreamPeer peer;
    Link link;
    LinkParams p;
    p.system.reconnectIntervalMs = 3000;  // what the session layer uses by default
    ExpectPlaying(peer, link, p);
    auto dropped = std::chrono::steady_clock::now();
    peer.DropAll();
    ASSERT_TRUE(link.notic->WaitFor("status:2", 2, 30000));
    EXPECT_LT(std::chrono::steady_clock::now() - dropped, kPromptly);
    EXPECT_EQ(link.notic->WithPrefix("status:"), (std::vector<std::string>{"status:2", "status:0", "status:1", "status:2"}));
    EXPECT_TRUE(log.Has("[RELAY_PORT]User[tester] websocket ended, ready[1]"));
    EXPECT_FALSE(log.Has("greater than [10000]"));
    EXPECT_EQ(peer.Connections(), 2u);
    EXPECT_EQ(peer.CountOf(stream_peer::kPlayReq), 2u);
}

TEST(LinkConnection, RefusedConnectIsRetriedWithoutWaitingForTheConnectTimeout) {
    LogCollector log;
    Link link;
    LinkParams p;
    p.system.connectTimeoutMs = 30000;
    auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(InitLink(*link.port, ClosedPortUrl(), p, link.notic), 0);
    // Refused, retried after the 1 s interval, refused again.
    ASSERT_TRUE(link.notic->WaitFor("status:0", 2, 30000));
    EXPECT_LT(std::chrono::steady_clock::now() - start, kPromptly);
    EXPECT_EQ(link.notic->WithPrefix("status:")[1], "status:1");
    EXPECT_TRUE(log.Has("[RELAY_PORT]User[tester] websocket ended, ready[0]"));
    EXPECT_FALSE(log.Has("rescode timeout"));
}

TEST(LinkConnection, EverySendBeforeTheUpgradeIsRefusedByName) {
    LogCollector log;
    SilentListener silent;
    Link link;
    ASSERT_EQ(InitLink(*link.port, silent.Url(), LinkParams(), link.notic), 0);
    uint32_t xs[1] = {1}, ys[1] = {1};
    char blob[1] = {0};
    std::vector<std::pair<const char*, std::function<int()>>> sends = {
        {"SendInKeyReq", [&] { return link.port->SendInKeyReq(1, 2); }},
        {"SendInTouchReq", [&] { return link.port->SendInTouchReq(0, xs, ys, 1); }},
        {"SendInLocationReq", [&] { return link.port->SendInLocationReq(1, 2, 3, 4, 5, 6, 7, 8); }},
        {"SendInSensorReq", [&] { return link.port->SendInSensorReq(1, 1, 1, 1); }},
        {"SendMsgTransReq", [&] { return link.port->SendMsgTransReq("s", "m"); }},
        {"SendCopyStringReq", [&] { return link.port->SendCopyStringReq("c"); }},
        {"SendInputStringReq", [&] { return link.port->SendInputStringReq("i"); }},
        {"SendMsgTransRes", [&] { return link.port->SendMsgTransRes("m", 0); }},
        {"SendPlayControlReq", [&] { return link.port->SendPlayControlReq(1, 1); }},
        {"SendSetVideoParamReq", [&] { return link.port->SendSetVideoParamReq(30, 1, 2, 3); }},
        {"SendInMicParamReq", [&] { return link.port->SendInMicParamReq(1, 2, 3); }},
        {"SendInMicDataReq", [&] { return link.port->SendInMicDataReq(blob, 1); }},
        {"SendInCameraParamReq", [&] { return link.port->SendInCameraParamReq(1, 2, 3, blob, 1); }},
        {"SendInCameraDataReq", [&] { return link.port->SendInCameraDataReq(blob, 1); }},
        {"SendSetRotationReq", [&] { return link.port->SendSetRotationReq(1, 2); }},
        {"SendInputModeReq", [&] { return link.port->SendInputModeReq(1); }},
        {"SendDummyReq", [&] { return link.port->SendDummyReq(); }},
        {"SendWRAnswerReq", [&] { return link.port->SendWRAnswerReq("sdp"); }},
        {"SendWRCandidateReq", [&] { return link.port->SendWRCandidateReq(0, "m", "c"); }},
    };
    for (const auto& send : sends) {
        EXPECT_EQ(send.second(), -1) << send.first;
        std::string line = std::string("[RELAY_PORT]relay_port::CWSControl::") + send.first +
                           " failed: websocket is not ready";
        EXPECT_TRUE(log.Has(line)) << line;
    }
}
