// Server packages built field by field by the peer's writer and read by the
// link's parsers; malformed and random bodies must be refused without harm.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "relay_port/message_parser.h"
#include "relay_port/wire_format.h"
#include "stream_peer/message_writer.h"

using namespace relay_port::wire;
using stream_peer::MessageWriter;

TEST(WireParser, AuthResultReadsCodeAndEveryText) {
    std::string body = MessageWriter().I32(0, 401).Str(1, "refused").Str(2, "r").Str(3, "n").Str(4, "hub-3")
                           .Str(5, "h265").I64(6, 77).Body();
    AuthResult r;
    ASSERT_TRUE(ParseAuthResult(body.data(), body.size(), &r));
    EXPECT_EQ(r.code, 401);
    EXPECT_EQ(r.msg, "refused");
    EXPECT_EQ(r.info1, "r");
    EXPECT_EQ(r.info2, "n");
    EXPECT_EQ(r.hubVersion, "hub-3");
    EXPECT_EQ(r.codecs, "h265");
    EXPECT_EQ(r.time, 77);
}

TEST(WireParser, PlayResultReadsMessageAndAudioValues) {
    MessageWriter w;
    w.I32(0, 0).Str(1, "go").U32(2, 1).U32(3, 2000).U32(4, 30).U32(5, 720).U32(6, 1280).U32(7, 2).U32(8, 48000)
        .U32(9, 2).Str(10, "x").I64(11, 5);
    std::string body = w.Body();
    PlayResult r;
    ASSERT_TRUE(ParsePlayResult(body.data(), body.size(), &r));
    EXPECT_EQ(r.msg, "go");
    EXPECT_EQ(r.videoCodec, 1u);
    EXPECT_EQ(r.bitrate, 2000u);
    EXPECT_EQ(r.fps, 30u);
    EXPECT_EQ(r.width, 720u);
    EXPECT_EQ(r.height, 1280u);
    EXPECT_EQ(r.audioCodec, 2u);
    EXPECT_EQ(r.sampleRate, 48000u);
    EXPECT_EQ(r.channels, 2u);
    EXPECT_EQ(r.text, "x");
    EXPECT_EQ(r.time, 5);
}

TEST(WireParser, AbsentFieldsReadAsDefaults) {
    std::string empty = MessageWriter().Body();
    PlayResult play;
    play.code = 9;
    ASSERT_TRUE(ParsePlayResult(empty.data(), empty.size(), &play));
    EXPECT_EQ(play.code, 0);
    EXPECT_EQ(play.msg, "");
    EXPECT_EQ(play.channels, 0u);
    CameraOutMsg cam;
    ASSERT_TRUE(ParseCameraOut(empty.data(), empty.size(), &cam));
    EXPECT_EQ(cam.width, 0);
}

TEST(WireParser, ResultsWithMessageAtIdTwo) {
    std::string body = MessageWriter().I32(0, 3).U32(1, 99).Str(2, "msg-2").I64(3, 8).Body();
    CodeMsgResult r;
    ASSERT_TRUE(ParseCodeMsgResult(body.data(), body.size(), &r));
    EXPECT_EQ(r.code, 3);
    EXPECT_EQ(r.msg, "msg-2");
    EXPECT_EQ(r.time, 8);

    std::string res = MessageWriter().I32(0, -5).Str(1, "svc").Str(2, "text").Str(3, "sid").I64(4, 1).Body();
    MsgTransResponse m;
    ASSERT_TRUE(ParseMsgTransResponse(res.data(), res.size(), &m));
    EXPECT_EQ(m.code, -5);
    EXPECT_EQ(m.service, "svc");
    EXPECT_EQ(m.msg, "text");
    EXPECT_EQ(m.sessionId, "sid");

    std::string offer = MessageWriter().I32(0, 0).Str(2, "m").Str(3, "sdp").I64(4, 2).Body();
    OfferResult o;
    ASSERT_TRUE(ParseOfferResult(offer.data(), offer.size(), &o));
    EXPECT_EQ(o.msg, "m");
    EXPECT_EQ(o.offer, "sdp");

    std::string conf = MessageWriter().I32(0, 0).U32(2, 24).U32(3, 900).U32(4, 540).U32(5, 960).Str(6, "ok").Body();
    VideoParamResult v;
    ASSERT_TRUE(ParseVideoParamResult(conf.data(), conf.size(), &v));
    EXPECT_EQ(v.fps, 24u);
    EXPECT_EQ(v.bitrate, 900u);
    EXPECT_EQ(v.width, 540u);
    EXPECT_EQ(v.height, 960u);
    EXPECT_EQ(v.msg, "ok");
}

TEST(WireParser, VideoFramePrefixAndShortBodies) {
    std::string body(16, '\0');
    uint64_t first = 0x0102030405060708ull, second = 7;
    memcpy(&body[0], &first, 8);
    memcpy(&body[8], &second, 8);
    VideoFrame f;
    ASSERT_TRUE(ParseVideoFrame(body.data(), body.size(), &f));
    EXPECT_EQ(f.first, first);
    EXPECT_EQ(f.second, second);
    EXPECT_EQ(f.length, 0u);
    body += "abc";
    ASSERT_TRUE(ParseVideoFrame(body.data(), body.size(), &f));
    EXPECT_EQ(f.length, 3u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(f.data), f.length), "abc");
    EXPECT_FALSE(ParseVideoFrame(body.data(), 15, &f));
}

TEST(WireParser, PackageHeaderChecks) {
    PackageView v;
    std::string frame = MessageWriter::Frame(4008, "abcd");
    EXPECT_EQ(ReadPackage(frame.data(), 7, &v), HeaderCheck::kTooShort);
    EXPECT_EQ(ReadPackage(frame.data(), frame.size() - 1, &v), HeaderCheck::kLengthMismatch);
    EXPECT_EQ(v.declaredLength, 4u);
    EXPECT_EQ(v.bodyLength, 3u);
    std::string longer = frame + MessageWriter::Frame(4008, "abcd");
    EXPECT_EQ(ReadPackage(longer.data(), longer.size(), &v), HeaderCheck::kLengthMismatch);
    ASSERT_EQ(ReadPackage(frame.data(), frame.size(), &v), HeaderCheck::kOk);
    EXPECT_EQ(v.type, 4008u);
    EXPECT_EQ(v.bodyLength, 4u);
}

namespace {

using Parser = std::function<bool(const void*, size_t)>;

std::vector<Parser> AllParsers() {
    return {
        [](const void* b, size_t n) { AuthResult r; return ParseAuthResult(b, n, &r); },
        [](const void* b, size_t n) { PlayResult r; return ParsePlayResult(b, n, &r); },
        [](const void* b, size_t n) { OfferResult r; return ParseOfferResult(b, n, &r); },
        [](const void* b, size_t n) { CodeMsgResult r; return ParseCodeMsgResult(b, n, &r); },
        [](const void* b, size_t n) { CandidateMsg r; return ParseCandidate(b, n, &r); },
        [](const void* b, size_t n) { ErrorMsg r; return ParseError(b, n, &r); },
        [](const void* b, size_t n) { AppResult r; return ParseAppResult(b, n, &r); },
        [](const void* b, size_t n) { VideoParamResult r; return ParseVideoParamResult(b, n, &r); },
        [](const void* b, size_t n) { MsgTransRequest r; return ParseMsgTransRequest(b, n, &r); },
        [](const void* b, size_t n) { MsgTransResponse r; return ParseMsgTransResponse(b, n, &r); },
        [](const void* b, size_t n) { DelayEcho r; return ParseDelayEcho(b, n, &r); },
        [](const void* b, size_t n) { SetRotationResult r; return ParseSetRotationResult(b, n, &r); },
        [](const void* b, size_t n) { ScreenOutMsg r; return ParseScreenOut(b, n, &r); },
        [](const void* b, size_t n) { CopyOutMsg r; return ParseCopyOut(b, n, &r); },
        [](const void* b, size_t n) { CloudNotifyMsg r; return ParseCloudNotify(b, n, &r); },
        [](const void* b, size_t n) { AppEventMsg r; return ParseAppEvent(b, n, &r); },
        [](const void* b, size_t n) { SensorOutMsg r; return ParseSensorOut(b, n, &r); },
        [](const void* b, size_t n) { MicOutMsg r; return ParseMicOut(b, n, &r); },
        [](const void* b, size_t n) { CameraOutMsg r; return ParseCameraOut(b, n, &r); },
        [](const void* b, size_t n) { CursorMsg r; return ParseCursor(b, n, &r); },
    };
}

}  // namespace

TEST(WireParser, TruncatedBodiesAreRefused) {
    // "abc" is built first, so it ends the buffer without padding: every cut
    // removes bytes the auth result's verifier must see.
    std::string full = MessageWriter().Str(1, "abc").I32(0, 2).Str(2, "r").Str(3, "n").Str(4, "hub").Str(5, "c")
                           .I64(6, 1).Body();
    AuthResult r;
    ASSERT_TRUE(ParseAuthResult(full.data(), full.size(), &r));
    for (size_t cut = 0; cut < full.size(); ++cut) {
        std::vector<char> copy(full.begin(), full.begin() + cut);  // exact-size heap block for ASan
        EXPECT_FALSE(ParseAuthResult(copy.data(), copy.size(), &r)) << "cut at " << cut;
    }
}

TEST(WireParser, EveryParserSurvivesEveryCut) {
    MessageWriter w;
    for (int id = 0; id < 12; ++id) w.Str(id, std::string(5 + id, 'a' + id));
    std::string full = w.Body();
    // Root offset, then the vtable and the table: a cut inside them is always refused.
    uint32_t root = 0;
    memcpy(&root, full.data(), 4);
    // (Strings where a parser expects an aligned int64 may fail the verifier even whole.)
    for (const auto& parse : AllParsers()) {
        for (size_t cut = 0; cut < full.size(); ++cut) {
            std::vector<char> copy(full.begin(), full.begin() + cut);
            bool ok = parse(copy.data(), copy.size());
            if (cut <= root) {
                EXPECT_FALSE(ok) << "cut at " << cut;
            }
        }
    }
}

TEST(WireParser, StringsWithWrongTypeAndBadOffsetsAreRefused) {
    // A uint where a string is expected points the offset far outside the body.
    std::string body = MessageWriter().U32(1, 0x7FFFFFF0).Body();
    ErrorMsg e;
    EXPECT_FALSE(ParseError(body.data(), body.size(), &e));
    std::string root = "\xF0\xFF\xFF\x7F";
    CursorMsg c;
    EXPECT_FALSE(ParseCursor(root.data(), root.size(), &c));
}

TEST(WireParser, RandomBodiesNeverCrash) {
    std::mt19937 rng(20240611);
    auto parsers = AllParsers();
    for (int round = 0; round < 3000; ++round) {
        size_t n = rng() % 96;
        std::vector<char> body(n);
        for (auto& c : body) c = static_cast<char>(rng());
        // Half of the rounds start from a valid table and flip bytes.
        if (round % 2 == 0) {
            std::string valid = MessageWriter().I32(0, 1).Str(1, "abc").U32(2, 3).Str(3, "de").Body();
            body.assign(valid.begin(), valid.end());
            for (int flips = 0; flips < 3; ++flips) body[rng() % body.size()] = static_cast<char>(rng());
        }
        for (const auto& parse : parsers) parse(body.data(), body.size());
    }
}
