// The stream servers of the local cloud, driven by a WebSocket client that
// speaks the stream link: authentication, play, real H.264 and Opus media,
// input that shows on the phone, rotation, renewal and takeover.
#include <gtest/gtest.h>

#include <opus/opus.h>

#include <functional>

#include "cloud_fixture.h"
#include "cloudsim/cloud_sim.h"
#include "picture_decoder.h"
#include "relay_port/wire_format.h"
#include "signed_call.h"
#include "stream_client.h"

namespace cloudsim_test {
namespace {

namespace wire = relay_port::wire;

using StreamTest = CloudFixture;

struct MediaCount {
    int video = 0;
    int audio = 0;
    int keyFrames = 0;
};

// Decodes video packages until accept takes a picture; false after maxFrames
// pictures or when the link ends. Other packages land in the client's Seen().
bool DecodeUntil(StreamClient& client, VideoDecoder& decoder, const std::function<bool(const Picture&)>& accept,
                 int maxFrames = 60, MediaCount* count = nullptr) {
    int frames = 0;
    Package package;
    while (frames < maxFrames && client.Next(package)) {
        if (package.type == wire::kAudioFrame) {
            if (count) ++count->audio;
            continue;
        }
        if (package.type != wire::kVideoFrame) {
            client.ClearSeen();
            continue;
        }
        if (package.body.size() < wire::kVideoPrefixSize) return false;
        uint64_t pts = 0;
        uint64_t flags = 0;
        wire::ReadVideoPrefix(reinterpret_cast<const uint8_t*>(package.body.data()), &pts, &flags);
        const auto* unit = reinterpret_cast<const uint8_t*>(package.body.data()) + wire::kVideoPrefixSize;
        const size_t size = package.body.size() - wire::kVideoPrefixSize;
        if (count) {
            ++count->video;
            if (flags & 1) {
                ++count->keyFrames;
                EXPECT_TRUE(HasNal(unit, size, 7) && HasNal(unit, size, 8) && HasNal(unit, size, 5));
            }
        }
        std::vector<Picture> pictures;
        if (!decoder.Decode(unit, size, pictures)) return false;
        for (const auto& picture : pictures) {
            ++frames;
            if (accept(picture)) return true;
        }
    }
    return false;
}

TEST_F(StreamTest, PlayingStreamsDecodableVideoAndAudioAndShowsTheTouch) {
    const cloudsim::SessionInfo session = Connect("CP-DEMO-0001");
    StreamClient client;
    ASSERT_TRUE(client.Connect(WsUrl(session)));
    Package package;
    ASSERT_TRUE(client.Send(build::AuthReq(session.sessionId, "CP-DEMO-0001")));
    ASSERT_TRUE(client.WaitFor(wire::kAuthRes, package));
    int32_t code = -1;
    std::string msg;
    ASSERT_TRUE(read::CodeMsg(package, code, msg));
    EXPECT_EQ(code, 0);
    ASSERT_TRUE(client.Send(build::PlayReq(10, 800, session.sessionId)));
    ASSERT_TRUE(client.WaitFor(wire::kPlayRes, package));
    uint32_t width = 0, height = 0, fps = 0, bitrate = 0;
    ASSERT_TRUE(read::PlayValues(package, width, height, fps, bitrate));
    EXPECT_EQ(width, 720u);
    EXPECT_EQ(height, 1280u);
    EXPECT_EQ(fps, 10u);
    EXPECT_EQ(bitrate, 800u);
    ASSERT_TRUE(client.WaitFor(wire::kScreenOut, package));

    // The first frame is a key frame with SPS and PPS; the phone has no mark yet.
    VideoDecoder decoder;
    MediaCount count;
    Picture first;
    ASSERT_TRUE(DecodeUntil(client, decoder, [&](const Picture& p) { return first = p, true; }, 60, &count));
    EXPECT_EQ(first.width, 720);
    EXPECT_EQ(first.height, 1280);
    EXPECT_EQ(count.keyFrames, 1);
    EXPECT_FALSE(MarkerAt(first, 200, 700));

    ASSERT_TRUE(client.Send(build::Touch(0, {{200, 700}})));
    ASSERT_TRUE(client.Send(build::Touch(1, {{0xFFFFFFFFu, 0xFFFFFFFFu}})));
    Picture marked;
    ASSERT_TRUE(DecodeUntil(client, decoder, [&](const Picture& p) { return MarkerAt(p, 200, 700) && (marked = p, true); },
                            60, &count));
    EXPECT_FALSE(MarkerAt(marked, 600, 300));
    EXPECT_FALSE(MarkerAt(marked, 200, 760));

    // Audio: Opus packets of 20 ms, 48 kHz stereo.
    while (count.audio == 0 || package.type != wire::kAudioFrame) {
        ASSERT_TRUE(client.Next(package));
        if (package.type == wire::kAudioFrame) ++count.audio;
    }
    int error = 0;
    OpusDecoder* opus = opus_decoder_create(48000, 2, &error);
    ASSERT_EQ(error, OPUS_OK);
    opus_int16 pcm[5760 * 2];
    const int samples = opus_decode(opus, reinterpret_cast<const unsigned char*>(package.body.data()),
                                    static_cast<opus_int32>(package.body.size()), pcm, 5760, 0);
    opus_decoder_destroy(opus);
    EXPECT_EQ(samples, 960);

    const auto received = cloud->Received("CP-DEMO-0001");
    std::vector<std::string> kinds;
    for (const auto& message : received) kinds.push_back(message.kind);
    EXPECT_EQ(kinds, (std::vector<std::string>{"auth", "play", "touch", "touch"}));
    EXPECT_EQ(received[2].fields["points"][0][0].asInt(), 200);
    EXPECT_EQ(received[3].fields["points"][0][0].asInt(), -1);
    EXPECT_EQ(received[2].sessionId, session.sessionId);
}

TEST_F(StreamTest, WssServerOfTheAnswerAuthenticatesToo) {
    const cloudsim::SessionInfo session = Connect("CP-DEMO-0002");
    ASSERT_EQ(session.advertisedPort, session.wssPort);
    StreamClient client;
    ASSERT_TRUE(client.Connect("wss://127.0.0.1:" + std::to_string(session.wssPort)));
    EXPECT_TRUE(client.AuthAndPlay(session.sessionId, "CP-DEMO-0002"));
}

TEST_F(StreamTest, RotationAnswersReportsTheScreenAndTurnsTheVideo) {
    const cloudsim::SessionInfo session = Connect("CP-DEMO-0001");
    StreamClient client;
    ASSERT_TRUE(client.Connect(WsUrl(session)));
    ASSERT_TRUE(client.AuthAndPlay(session.sessionId, "CP-DEMO-0001"));
    ASSERT_TRUE(client.Send(build::SetRotation(1, 0)));
    Package package;
    ASSERT_TRUE(client.WaitFor(wire::kSetRotationRes, package));
    int32_t code = -1;
    std::string msg;
    ASSERT_TRUE(read::CodeMsg(package, code, msg));
    EXPECT_EQ(code, 0);
    uint32_t rotation = 0, width = 0, height = 0;
    do {
        ASSERT_TRUE(client.WaitFor(wire::kScreenOut, package));
        ASSERT_TRUE(read::ScreenOut(package, rotation, width, height));
    } while (rotation != 1);  // the screen report sent at play came first
    EXPECT_EQ(width, 1280u);
    EXPECT_EQ(height, 720u);
    VideoDecoder decoder;
    EXPECT_TRUE(DecodeUntil(client, decoder, [](const Picture& p) { return p.width == 1280 && p.height == 720; }));

    ASSERT_TRUE(client.Send(build::SetRotation(0, 0)));
    EXPECT_TRUE(DecodeUntil(client, decoder, [](const Picture& p) { return p.width == 720 && p.height == 1280; }));
}

TEST_F(StreamTest, TextFieldTalksBackThroughCursorAndClipboard) {
    const cloudsim::SessionInfo session = Connect("CP-DEMO-0001");
    StreamClient client;
    ASSERT_TRUE(client.Connect(WsUrl(session)));
    ASSERT_TRUE(client.AuthAndPlay(session.sessionId, "CP-DEMO-0001"));
    Package package;
    uint32_t state = 9;
    ASSERT_TRUE(client.Send(build::InputMode(1)));
    ASSERT_TRUE(client.WaitFor(wire::kCursor, package));
    ASSERT_TRUE(read::Cursor(package, state));
    EXPECT_EQ(state, 0u);

    ASSERT_TRUE(client.Send(build::Touch(0, {{360, 140}})));  // the text field
    ASSERT_TRUE(client.WaitFor(wire::kCursor, package));
    ASSERT_TRUE(read::Cursor(package, state));
    EXPECT_EQ(state, 1u);
    ASSERT_TRUE(client.Send(build::InputString("hello ")));
    ASSERT_TRUE(client.Send(build::CopyString("world")));
    ASSERT_TRUE(client.Send(build::Key(29, true)));
    ASSERT_TRUE(client.Send(build::Key(47, true)));  // Ctrl+V
    ASSERT_TRUE(client.Send(build::Key(47, false)));
    ASSERT_TRUE(client.Send(build::Key(46, true)));  // Ctrl+C
    ASSERT_TRUE(client.WaitFor(wire::kCopyOut, package));
    std::string text;
    ASSERT_TRUE(read::CopyOut(package, text));
    EXPECT_EQ(text, "hello world");
    ASSERT_TRUE(client.Send(build::Key(29, false)));
    ASSERT_TRUE(client.Send(build::Key(115, true)));  // volume up
    ASSERT_TRUE(client.Send(build::Key(158, true)));  // back leaves the field
    ASSERT_TRUE(client.WaitFor(wire::kCursor, package));
    ASSERT_TRUE(read::Cursor(package, state));
    EXPECT_EQ(state, 0u);
    cloudsim::PhoneView view;
    ASSERT_TRUE(cloud->Phone("CP-DEMO-0001", view));
    EXPECT_EQ(view.text, "hello world");
    EXPECT_EQ(view.volume, 9);
    EXPECT_FALSE(view.focused);
}

TEST_F(StreamTest, ControlMessagesAreAnswered) {
    const cloudsim::SessionInfo session = Connect("CP-DEMO-0001");
    StreamClient client;
    ASSERT_TRUE(client.Connect(WsUrl(session)));
    ASSERT_TRUE(client.AuthAndPlay(session.sessionId, "CP-DEMO-0001"));
    Package package;
    ASSERT_TRUE(client.Send(build::DelayProbe(123456789, session.sessionId)));
    ASSERT_TRUE(client.WaitFor(wire::kDelay, package));
    int64_t echoed = 0;
    ASSERT_TRUE(read::DelayEcho(package, echoed));
    EXPECT_EQ(echoed, 123456789);

    int32_t code = -1;
    std::string msg;
    ASSERT_TRUE(client.Send(build::SetVideoParam(8, 1500, 720, 1280)));
    ASSERT_TRUE(client.WaitFor(wire::kVideoParamRes, package));
    ASSERT_TRUE(read::CodeMsg(package, code, msg));
    EXPECT_EQ(code, 0);
    ASSERT_TRUE(client.Send(build::PlayControl(0, 1)));
    ASSERT_TRUE(client.WaitFor(wire::kPlayControlRes, package));
    ASSERT_TRUE(read::CodeMsg(package, code, msg));
    EXPECT_EQ(code, 0);
    ASSERT_TRUE(client.Send(build::MsgTransReq("svc", "ping")));
    ASSERT_TRUE(client.WaitFor(wire::kMsgTransRes, package));
    ASSERT_TRUE(read::CodeMsg(package, code, msg));
    EXPECT_EQ(msg, "ping");
}

TEST_F(StreamTest, RenewedSessionIdIsAcceptedOnReconnect) {
    cloudsim::FaultScript faults;
    faults.errorCode = 60103013;
    cloud->SetFaults("CP-DEMO-0001", faults);
    const cloudsim::SessionInfo session = Connect("CP-DEMO-0001");

    StreamClient first;
    ASSERT_TRUE(first.Connect(WsUrl(session)));
    ASSERT_TRUE(first.AuthAndPlay(session.sessionId, "CP-DEMO-0001"));  // the error follows the play result
    Package package;
    ASSERT_TRUE(first.WaitFor(wire::kError, package));
    int32_t code = 0;
    std::string msg;
    ASSERT_TRUE(read::CodeMsg(package, code, msg));
    EXPECT_EQ(code, 60103013);

    // Until the session is renewed its id is refused with the same request.
    StreamClient stale;
    ASSERT_TRUE(stale.Connect(WsUrl(session)));
    ASSERT_TRUE(stale.Send(build::AuthReq(session.sessionId, "CP-DEMO-0001")));
    ASSERT_TRUE(stale.WaitFor(wire::kAuthRes, package));
    ASSERT_TRUE(read::CodeMsg(package, code, msg));
    EXPECT_EQ(code, 60103013);

    const Json::Value renewed = RefreshSession(cloud->HttpsUrl(), DemoUser(), session.sessionId);
    ASSERT_EQ(renewed["code"].asInt(), 0);
    const std::string newId = renewed["data"]["sessionId"].asString();
    StreamClient again;
    ASSERT_TRUE(again.Connect(WsUrl(session)));
    EXPECT_TRUE(again.AuthAndPlay(newId, "CP-DEMO-0001"));
    StreamClient old;
    ASSERT_TRUE(old.Connect(WsUrl(session)));
    ASSERT_TRUE(old.Send(build::AuthReq(session.sessionId, "CP-DEMO-0001")));
    ASSERT_TRUE(old.WaitFor(wire::kAuthRes, package));
    ASSERT_TRUE(read::CodeMsg(package, code, msg));
    EXPECT_EQ(code, 60103013);
}

TEST(StreamSessions, ExpiredOrReplacedSessionsAreRefused) {
    cloudsim::CloudOptions options;
    options.logLevel = 40;
    options.config.sessionTtlMs = -1;  // every session has expired when it is used
    cloudsim::CloudSim cloud(options);
    ASSERT_EQ(cloud.Start(), 0);
    ASSERT_EQ(PhoneConnect(cloud.HttpsUrl(), DemoUser(), "CP-DEMO-0001")["code"].asInt(), 0);
    cloudsim::SessionInfo session;
    ASSERT_TRUE(cloud.LatestSession("CP-DEMO-0001", session));
    StreamClient client;
    ASSERT_TRUE(client.Connect("ws://127.0.0.1:" + std::to_string(session.wsPort)));
    ASSERT_TRUE(client.Send(build::AuthReq(session.sessionId, "CP-DEMO-0001")));
    Package package;
    ASSERT_TRUE(client.WaitFor(wire::kAuthRes, package));
    int32_t code = 0;
    std::string msg;
    ASSERT_TRUE(read::CodeMsg(package, code, msg));
    EXPECT_EQ(code, 60102001);
    ASSERT_TRUE(client.WaitFor(wire::kError, package));
    EXPECT_FALSE(client.Next(package));
}

TEST_F(StreamTest, InputBeforeAuthIsIgnoredAndPlayRefused) {
    const cloudsim::SessionInfo session = Connect("CP-DEMO-0001");
    StreamClient client;
    ASSERT_TRUE(client.Connect(WsUrl(session)));
    ASSERT_TRUE(client.Send(build::Touch(0, {{10, 10}})));
    ASSERT_TRUE(client.Send(build::PlayReq(5, 500, session.sessionId)));
    Package package;
    ASSERT_TRUE(client.WaitFor(wire::kError, package));
    int32_t code = 0;
    std::string msg;
    ASSERT_TRUE(read::CodeMsg(package, code, msg));
    EXPECT_EQ(code, 60101001);
    cloudsim::PhoneView view;
    ASSERT_TRUE(cloud->Phone("CP-DEMO-0001", view));
    EXPECT_EQ(view.lastTouchX, -1);
    EXPECT_EQ(cloud->Received("CP-DEMO-0001").size(), 2u);  // both recorded all the same
}

TEST_F(StreamTest, ReplacingTheSessionEndsItsStream) {
    const cloudsim::SessionInfo first = Connect("CP-DEMO-0001");
    StreamClient client;
    ASSERT_TRUE(client.Connect(WsUrl(first)));
    ASSERT_TRUE(client.AuthAndPlay(first.sessionId, "CP-DEMO-0001"));
    const cloudsim::SessionInfo second = Connect("CP-DEMO-0001");
    EXPECT_NE(second.sessionId, first.sessionId);
    Package package;
    // The error is sent before the old servers close; a cut may still lose it.
    while (client.Next(package) && package.type != wire::kError) {
    }
    StreamClient late;
    EXPECT_FALSE(late.Connect(WsUrl(first)));  // the old servers are gone
}

TEST_F(StreamTest, ANewerConnectionTakesTheSessionOver) {
    const cloudsim::SessionInfo session = Connect("CP-DEMO-0001");
    StreamClient first;
    ASSERT_TRUE(first.Connect(WsUrl(session)));
    ASSERT_TRUE(first.AuthAndPlay(session.sessionId, "CP-DEMO-0001"));
    StreamClient second;
    ASSERT_TRUE(second.Connect("wss://127.0.0.1:" + std::to_string(session.wssPort)));
    ASSERT_TRUE(second.AuthAndPlay(session.sessionId, "CP-DEMO-0001"));
    Package package;
    ASSERT_TRUE(first.WaitFor(wire::kError, package));
    int32_t code = 0;
    std::string msg;
    ASSERT_TRUE(read::CodeMsg(package, code, msg));
    EXPECT_EQ(code, 60102029);
    EXPECT_FALSE(first.Next(package));  // closed after the error
}

TEST_F(StreamTest, TwoPhonesStreamAtOnceAndKeepTheirOwnInput) {
    const cloudsim::SessionInfo one = Connect("CP-DEMO-0001");
    const cloudsim::SessionInfo two = Connect("CP-DEMO-0002");
    StreamClient a;
    StreamClient b;
    ASSERT_TRUE(a.Connect(WsUrl(one)));
    ASSERT_TRUE(b.Connect(WsUrl(two)));
    ASSERT_TRUE(a.AuthAndPlay(one.sessionId, "CP-DEMO-0001"));
    ASSERT_TRUE(b.AuthAndPlay(two.sessionId, "CP-DEMO-0002"));
    ASSERT_TRUE(a.Send(build::Touch(0, {{100, 500}})));
    ASSERT_TRUE(b.Send(build::Touch(0, {{600, 1000}})));
    VideoDecoder decodeA;
    VideoDecoder decodeB;
    Picture seenA;
    Picture seenB;
    ASSERT_TRUE(DecodeUntil(a, decodeA, [&](const Picture& p) { return MarkerAt(p, 100, 500) && (seenA = p, true); }));
    ASSERT_TRUE(DecodeUntil(b, decodeB, [&](const Picture& p) { return MarkerAt(p, 600, 1000) && (seenB = p, true); }));
    EXPECT_FALSE(MarkerAt(seenA, 600, 1000));
    EXPECT_FALSE(MarkerAt(seenB, 100, 500));
    cloudsim::PhoneView view;
    ASSERT_TRUE(cloud->Phone("CP-DEMO-0002", view));
    EXPECT_EQ(view.lastTouchX, 600);
}

}  // namespace
}  // namespace cloudsim_test
