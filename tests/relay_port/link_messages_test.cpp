// Input messages as the peer reads them, every server message as the user is
// told of it, and hostile packages that must leave the link up.
#include <gtest/gtest.h>

#include <random>
#include <thread>

#include "link_fixture.h"

using namespace relay_test;
using relay_port::IRelayPort;
using stream_peer::MessageWriter;
using stream_peer::StreamPeer;

namespace {

class PlayingLink : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(InitLink(*port, peer.Url(), LinkParams(), notic), 0);
        ASSERT_TRUE(notic->WaitFor("status:2"));
        peer.SetEchoDelay(true);
    }
    void TearDown() override { port->UnInit(); }

    stream_peer::ClientPackage Next(uint32_t type, size_t index = 0) {
        EXPECT_TRUE(peer.WaitForCount(type, index + 1)) << type;
        auto all = peer.ReceivedOf(type);
        return all.size() > index ? all[index] : stream_peer::ClientPackage();
    }

    // The link still answers: a cursor message reaches the user.
    void ExpectStillUp() {
        size_t before = notic->Count("cursor:1");
        ASSERT_TRUE(peer.Send(MessageWriter().U32(0, 1).Package(4008)));
        EXPECT_TRUE(notic->WaitFor("cursor:1", before + 1));
    }

    LogCollector log;
    StreamPeer peer;
    std::shared_ptr<IRelayPort> port = IRelayPort::Create();
    std::shared_ptr<RecordingNotic> notic = std::make_shared<RecordingNotic>();
};

}  // namespace

TEST_F(PlayingLink, InputMessagesCarryTheirArguments) {
    ASSERT_EQ(port->SendInKeyReq(0, 158), 0);
    auto key = Next(3003).Table();
    EXPECT_EQ(key.U8(0), 158);
    EXPECT_EQ(key.U8(1, 1), 0);

    ASSERT_EQ(port->SendInSensorReq(3, 0.5f, -1.25f, 9.0f), 0);
    auto sensor = Next(3008).Table();
    EXPECT_EQ(sensor.U32(0), 3u);
    EXPECT_FLOAT_EQ(sensor.F32(1), 0.5f);
    EXPECT_FLOAT_EQ(sensor.F32(2), -1.25f);
    EXPECT_FLOAT_EQ(sensor.F32(3), 9.0f);

    ASSERT_EQ(port->SendInLocationReq(1, 2, 3, 4, 5, 6, 7, 8), 0);
    auto loc = Next(3009).Table();
    for (int id = 0; id < 8; ++id) EXPECT_FLOAT_EQ(loc.F32(id), id + 1.0f);

    ASSERT_EQ(port->SendMsgTransReq("clip", "hello"), 0);
    auto req = Next(2007).Table();
    EXPECT_EQ(req.Str(0), "hello");
    EXPECT_EQ(req.Str(1), "clip");
    EXPECT_EQ(req.Str(2), "sess-1");

    ASSERT_EQ(port->SendMsgTransRes("done", 4), 0);
    auto res = Next(2008).Table();
    EXPECT_EQ(res.U32(0), 4u);
    EXPECT_EQ(res.Str(2), "done");

    ASSERT_EQ(port->SendPlayControlReq(0, 1), 0);
    auto pc = Next(2004).Table();
    EXPECT_FALSE(pc.Has(0));
    EXPECT_EQ(pc.U8(1, 1), 0);

    ASSERT_EQ(port->SendSetVideoParamReq(25, 1500000, 540, 960), 0);
    auto vp = Next(2002).Table();
    EXPECT_EQ(vp.U32(0), 25u);
    EXPECT_EQ(vp.U32(1), 1500000u);
    EXPECT_EQ(vp.U32(3), 960u);
    EXPECT_TRUE(log.Has("[RELAY_PORT]SetVideoParam fps[25] Bitrate[1500000] size[540*960]"));

    const char pcm[] = {1, 2, 3, 4};
    ASSERT_EQ(port->SendInMicParamReq(48000, 1, 16), 0);
    EXPECT_EQ(Next(3010).Table().U32(0), 48000u);
    ASSERT_EQ(port->SendInMicDataReq(pcm, sizeof(pcm)), 0);
    EXPECT_EQ(Next(3011).body, std::string(pcm, sizeof(pcm)));
    ASSERT_EQ(port->SendInCameraParamReq(264, 640, 480, pcm, 2), 0);
    EXPECT_EQ(Next(3012).Table().Bytes(3), std::string(pcm, 2));
    ASSERT_EQ(port->SendInCameraDataReq(pcm, 3), 0);
    EXPECT_EQ(Next(3013).body, std::string(pcm, 3));
    EXPECT_EQ(port->SendInCameraParamReq(1, 2, 3, nullptr, 4), -1);

    ASSERT_EQ(port->SendSetRotationReq(1, 0), 0);
    EXPECT_EQ(Next(2012).Table().U32(0), 1u);
    ASSERT_EQ(port->SendDummyReq(), 0);
    EXPECT_EQ(Next(3999).raw, std::string("\x00\x00\x0F\x9F\x00\x00\x00\x01\x31", 9));
    ASSERT_EQ(port->SendWRAnswerReq("v=0"), 0);
    EXPECT_EQ(Next(1006).Table().Str(0), "v=0");
    ASSERT_EQ(port->SendWRCandidateReq(2, "video", "cand"), 0);
    auto cand = Next(1008).Table();
    EXPECT_EQ(cand.U32(2), 2u);
    EXPECT_EQ(cand.Str(1), "video");
    EXPECT_EQ(cand.Str(0), "cand");
}

TEST_F(PlayingLink, TouchLimitsPointsAndThrottlesMoves) {
    uint32_t xs[12], ys[12];
    for (int i = 0; i < 12; ++i) {
        xs[i] = 100 + i;
        ys[i] = 200 + i;
    }
    ASSERT_EQ(port->SendInTouchReq(0, xs, ys, 12), 0);
    auto down = Next(3007).Table();
    EXPECT_EQ(down.U8(0), 0);
    auto points = down.Points(1);
    ASSERT_EQ(points.size(), 8u);
    EXPECT_EQ(points[7], std::make_pair(107u, 207u));

    EXPECT_EQ(port->SendInTouchReq(0, xs, ys, 0), -1);
    EXPECT_EQ(port->SendInTouchReq(2, xs, ys, 0), -1);
    ASSERT_EQ(port->SendInTouchReq(1, xs, ys, 0), 0);
    auto up = Next(3007, 1).Table();
    EXPECT_EQ(up.U8(0), 1);
    EXPECT_FALSE(up.Has(1));

    // Two moves back to back: the second is inside the 20 ms window and dropped.
    ASSERT_EQ(port->SendInTouchReq(2, xs, ys, 1), 0);
    ASSERT_EQ(port->SendInTouchReq(2, xs + 1, ys + 1, 1), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    ASSERT_EQ(port->SendInTouchReq(2, xs + 2, ys + 2, 1), 0);
    auto third = Next(3007, 3).Table();
    EXPECT_EQ(third.Points(1)[0].first, 102u);
    EXPECT_EQ(Next(3007, 2).Table().Points(1)[0].first, 100u);
    EXPECT_EQ(peer.CountOf(3007), 4u);
}

TEST_F(PlayingLink, TextLimitIsOneMebibyte) {
    std::string text(1048576, 'x');
    ASSERT_EQ(port->SendInputStringReq(text.c_str()), 0);
    EXPECT_EQ(Next(3000).Table().Str(0).size(), 1048576u);
    ASSERT_EQ(port->SendCopyStringReq("clip"), 0);
    EXPECT_EQ(Next(3002).Table().Str(0), "clip");
    text += "y";
    EXPECT_EQ(port->SendInputStringReq(text.c_str()), -1);
    EXPECT_TRUE(log.Has("[RELAY_PORT]input string is too long"));
    EXPECT_EQ(port->SendCopyStringReq(text.c_str()), -1);
    EXPECT_TRUE(log.Has("[RELAY_PORT]copy string is too long"));
    EXPECT_EQ(port->SendInputStringReq(nullptr), -1);
    EXPECT_EQ(port->SendCopyStringReq(nullptr), -1);
}

TEST_F(PlayingLink, EveryServerMessageReachesItsNotification) {
    struct Case {
        std::string frame;
        std::string event;
        std::string line;  // "" for messages without a line
    };
    std::string video(16, '\0');
    uint64_t first = 0x1122334455667788ull, second = 5;
    memcpy(&video[0], &first, 8);
    memcpy(&video[8], &second, 8);
    std::vector<Case> cases = {
        {MessageWriter().I32(0, 0).Str(2, "fine").Str(3, "v=0 offer").I64(4, 1).Package(1005), "offer:0:fine:v=0 offer",
         "[RELAY_PORT]User[tester], unpack_offer_res, code:[0], offer:[v=0 offer]"},
        {MessageWriter().I32(0, 2).Str(2, "late").Package(1007), "answer:2:late",
         "[RELAY_PORT]User[tester], unpack_answer_res, code:[2], message:[late]"},
        {MessageWriter().Str(0, "cand-1").Str(1, "audio").U32(2, 1).Package(1008), "candidate:1:audio:cand-1",
         "[RELAY_PORT]User[tester], unpack_candidate_req mlineindex:[1] mid:[audio] candidate:[cand-1]"},
        {MessageWriter().I32(0, 3).Str(2, "dup").Package(1009), "candidateres:3:dup",
         "[RELAY_PORT]User[tester], unpack_candidate_res, code:[3], message:[dup]"},
        {MessageWriter().I32(0, 0).U32(2, 24).U32(3, 800).U32(4, 540).U32(5, 960).Str(6, "ok")
             .Package(2003),
         "avconf:0:ok:24:800:540:960",
         "[RELAY_PORT]User[tester] unpack_avconf_res, code[0], msg[ok] fps[24] bitrate[800] width[540] height[960]"},
        {MessageWriter().I32(0, 1).Str(2, "paused").Package(2005), "avplay:1:paused",
         "[RELAY_PORT]User[tester] unpack_avplay_res, code[1], msg[paused]"},
        {MessageWriter().Str(0, "m1").Str(1, "svc").Package(2007), "msgtransreq:svc:m1",
         "[RELAY_PORT]User[tester] unpack_msgtrans_req, service[svc], msg[m1]"},
        {MessageWriter().I32(0, 7).Str(1, "svc").Str(2, "m2").Str(3, "x").Package(2008), "msgtransres:7:svc:m2",
         "[RELAY_PORT]User[tester] unpack_msgtrans_res, code[7], service[svc], msg[m2]"},
        {MessageWriter().I32(0, 0).I64(1, 3).Package(2013), "rotation:0",
         "[RELAY_PORT]User[tester] unpack_set_rotation_res, code[0]"},
        {MessageWriter().U32(0, 1).U32(1, 60).U32(2, 9000).U32(3, 1280).U32(4, 720).Package(4000),
         "screen:1:60:9000:1280:720",
         "[RELAY_PORT]User[tester] unpack_out_screen, rotation[1], fps[60], bitrate[9000], width[1280], height[720]"},
        {MessageWriter().Str(0, "copied").Package(4001), "copy:copied",
         "[RELAY_PORT]User[tester] unpack_out_copy, data[copied]"},
        {MessageWriter().U32(0, 5).Str(1, "hi").Package(4003), "notify:5:hi",
         "[RELAY_PORT]User[tester] unpack_out_cloud_notify, type[5], msg[hi]"},
        {MessageWriter().U32(0, 2).U32(1, 5).Package(4004), "appevent:2:1", ""},
        {MessageWriter().U32(0, 2).U32(1, 0).Package(4004), "appevent:2:0", ""},
        {MessageWriter().U32(0, 4).U32(1, 1).Package(4005), "sensor:4:1",
         "[RELAY_PORT]User[tester] unpack_out_sensor, type[4], status[1]"},
        {MessageWriter().U32(0, 1).U32(1, 1).U32(2, 480).Package(4006), "mic:1:480",
         "[RELAY_PORT]User[tester] unpack_out_mic, type[1], status[1], samples[480]"},
        {MessageWriter().U32(0, 1).U32(1, 2).U16(2, 640).U16(3, 480).Package(4007), "camera:1:1:640:480",
         "[RELAY_PORT]User[tester] unpack_out_camera, type[1], status[2], width[640], height[480]"},
        {MessageWriter().U32(0, 2).Package(4008), "cursor:0", "[RELAY_PORT]User[tester] unpack_cursor, state[2]"},
        {MessageWriter::Frame(4009, video), "video:" + std::to_string(first) + ":5:", ""},
        {MessageWriter::Frame(4009, video + "frame"), "video:" + std::to_string(first) + ":5:frame", ""},
        {MessageWriter::Frame(4010, "ab"), "audio:ab", ""},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(peer.Send(c.frame));
        EXPECT_TRUE(notic->WaitFor(c.event)) << c.event;
        if (!c.line.empty()) {
            EXPECT_TRUE(log.Has(c.line)) << c.line;
        }
    }
    // The app result is only logged, and reads its message as well.
    ASSERT_TRUE(peer.Send(MessageWriter().I32(0, 0).Str(1, "installed").Str(2, "game").Package(2001)));
    EXPECT_TRUE(log.WaitFor("[RELAY_PORT]User[tester] unpack_app_res, code[0], msg[installed] appName[game]"));
}

TEST_F(PlayingLink, FailedVideoParamResultKeepsTheStoredRecord) {
    ASSERT_TRUE(peer.Send(MessageWriter().I32(0, 9).U32(2, 10).U32(3, 1).U32(4, 200).U32(5, 300).Package(2003)));
    ASSERT_TRUE(notic->WaitFor("avconf:9::10:1:200:300"));
    // A new play request (after a session renewal) shows what the link holds.
    ASSERT_TRUE(peer.Send(MessageWriter().I32(0, 60103013).Package(1099)));
    ASSERT_TRUE(peer.WaitForCount(1002, 2));
    auto play = peer.ReceivedOf(1002)[1].Table();
    EXPECT_EQ(play.U32(2), 30u);
    EXPECT_EQ(play.U32(3), 720u);

    ASSERT_TRUE(notic->WaitFor("status:2", 2));
    ASSERT_TRUE(peer.Send(MessageWriter().I32(0, 0).U32(2, 20).U32(3, 5).U32(4, 400).U32(5, 800).Package(2003)));
    ASSERT_TRUE(notic->WaitFor("avconf:0::20:5:400:800"));
    ASSERT_TRUE(peer.Send(MessageWriter().I32(0, 60103013).Package(1099)));
    ASSERT_TRUE(peer.WaitForCount(1002, 3));
    auto replay = peer.ReceivedOf(1002)[2].Table();
    EXPECT_EQ(replay.U32(1), 5u);
    EXPECT_EQ(replay.U32(2), 20u);
    EXPECT_EQ(replay.U32(3), 400u);
    EXPECT_EQ(replay.U32(4), 800u);
}

TEST_F(PlayingLink, HostilePackagesAreDroppedAndTheLinkStaysUp) {
    ASSERT_TRUE(peer.Send(std::string("\x00\x00\x0F", 3)));
    ASSERT_TRUE(peer.Send(MessageWriter::Header(4008, 10) + "abc"));
    EXPECT_TRUE(log.WaitFor("[RELAY_PORT]Get incomplete package header len[10] package len[3]"));
    ASSERT_TRUE(peer.Send(MessageWriter::Header(4008, 0) + MessageWriter::Frame(4008, "x")));
    EXPECT_TRUE(log.WaitFor("[RELAY_PORT]Get incomplete package header len[0] package len[9]"));
    ASSERT_TRUE(peer.Send(MessageWriter::Frame(4009, std::string(15, 'v'))));
    ASSERT_TRUE(peer.Send(MessageWriter::Frame(4010, "a")));
    ASSERT_TRUE(peer.Send(MessageWriter::Frame(7777, "zz")));
    EXPECT_TRUE(log.WaitFor("[RELAY_PORT]unknow type:7777"));
    ASSERT_TRUE(peer.SendText("hello text"));
    EXPECT_TRUE(log.WaitFor("[RELAY_PORT]OnWSRecv Text :hello text"));
    // Bodies that fail the verifier, for every table the link reads.
    const uint32_t tables[] = {1001, 1003, 1005, 1007, 1008, 1009, 1099, 2001, 2003, 2005, 2007,
                               2008, 2009, 2013, 4000, 4001, 4003, 4004, 4005, 4006, 4007, 4008};
    for (uint32_t type : tables) ASSERT_TRUE(peer.Send(MessageWriter::Frame(type, std::string("\xff\xff\xff\x7f", 4))));
    EXPECT_TRUE(log.WaitFor("[RELAY_PORT]User[tester] drop invalid package type[4008] len[4]"));
    EXPECT_TRUE(log.Has("[RELAY_PORT]User[tester] drop invalid package type[1001] len[4]"));
    ExpectStillUp();
    EXPECT_EQ(notic->WithPrefix("video:").size(), 0u);
    EXPECT_EQ(notic->WithPrefix("audio:").size(), 0u);
    EXPECT_EQ(notic->WithPrefix("error:").size(), 0u);

    // Random bodies under every type code that does not end the session, then an oversized valid one.
    const uint32_t fuzzed[] = {1005, 1007, 1008, 1009, 2001, 2003, 2005, 2007, 2008, 2009, 2010,
                               2013, 4000, 4001, 4003, 4004, 4005, 4006, 4007, 4008, 4009, 4010};
    std::mt19937 rng(7);
    for (int i = 0; i < 300; ++i) {
        std::string body(rng() % 64, '\0');
        for (auto& c : body) c = static_cast<char>(rng());
        ASSERT_TRUE(peer.Send(MessageWriter::Frame(fuzzed[i % 22], body)));
    }
    ASSERT_TRUE(peer.Send(MessageWriter().Str(0, std::string(3 << 20, 'c')).Package(4001)));
    ASSERT_TRUE(notic->WaitForPrefix("copy:"));
    EXPECT_EQ(notic->WithPrefix("copy:").back().size(), 5u + (3 << 20));
    ExpectStillUp();
}
