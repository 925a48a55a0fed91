// Client packages byte by byte, read back with the stream peer's own table
// reader (field ids written out independently of the generated schema code).
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/qv_log.h"
#include "relay_port/message_builder.h"
#include "relay_port/wire_format.h"
#include "stream_peer/table_reader.h"

using namespace relay_port;
using stream_peer::TableReader;

namespace {

std::string Bytes(const wire::Package& p) { return std::string(p.data(), p.size()); }

uint32_t TypeOf(const wire::Package& p) {
    return wire::GetBE32(reinterpret_cast<const uint8_t*>(p.data()));
}

TableReader Body(const wire::Package& p) {
    EXPECT_GE(p.size(), 8u);
    uint32_t declared = wire::GetBE32(reinterpret_cast<const uint8_t*>(p.data()) + 4);
    EXPECT_EQ(declared, p.size() - 8);
    TableReader t(std::string(p.data() + 8, p.size() - 8));
    EXPECT_TRUE(t.Valid());
    return t;
}

}  // namespace

TEST(WireBuilder, HeaderIsBigEndianTypeAndBodyLength) {
    wire::Package p = wire::BuildKeyReq(0, 30);
    ASSERT_GE(p.size(), 8u);
    EXPECT_EQ(Bytes(p).substr(0, 4), std::string("\x00\x00\x0B\xBB", 4));
    size_t body = p.size() - 8;
    std::string len = {char(body >> 24), char(body >> 16), char(body >> 8), char(body)};
    EXPECT_EQ(Bytes(p).substr(4, 4), len);
}

TEST(WireBuilder, DummyIsExactlyNineBytes) {
    EXPECT_EQ(Bytes(wire::BuildDummy()), std::string("\x00\x00\x0F\x9F\x00\x00\x00\x01\x31", 9));
}

TEST(WireBuilder, RawBodiesAreTheCallersBytes) {
    const char data[] = {0, 1, 2, 3, 'x'};
    wire::Package mic = wire::BuildRaw(wire::kMicData, data, sizeof(data));
    EXPECT_EQ(Bytes(mic), std::string("\x00\x00\x0B\xC3\x00\x00\x00\x05", 8) + std::string(data, sizeof(data)));
    wire::Package cam = wire::BuildRaw(wire::kCameraData, data, 0);
    EXPECT_EQ(Bytes(cam), std::string("\x00\x00\x0B\xC5\x00\x00\x00\x00", 8));
}

TEST(WireBuilder, AuthRequestFieldsAndDefaultAuthTypeLeftOff) {
    WsAuthParam auth{};
    common::CopyText(auth.sessionId, "sess");
    common::CopyText(auth.instanceNo, "inst");
    common::CopyText(auth.version, "1.1.0");
    auth.authType = 1;
    auth.authArg = 9;
    common::CopyText(auth.authExtra, "x");
    auth.authMode = 4;
    wire::Package p = wire::BuildAuthReq(auth, 1700000000123);
    EXPECT_EQ(TypeOf(p), 1000u);
    TableReader t = Body(p);
    EXPECT_EQ(t.Str(0), "sess");
    EXPECT_EQ(t.Str(1), "inst");
    EXPECT_EQ(t.Str(2), "1.1.0");
    EXPECT_FALSE(t.Has(3));
    EXPECT_EQ(t.U32(3, 1), 1u);
    EXPECT_EQ(t.U32(4), 9u);
    EXPECT_EQ(t.Str(5), "x");
    EXPECT_EQ(t.U32(6), 4u);
    EXPECT_EQ(t.I64(7), 1700000000123);

    auth.authType = 0;
    auth.authArg = 0;
    TableReader zero = Body(wire::BuildAuthReq(auth, 1));
    EXPECT_TRUE(zero.Has(3));
    EXPECT_EQ(zero.U32(3, 1), 0u);
    EXPECT_FALSE(zero.Has(4));
}

TEST(WireBuilder, PlayRequestCarriesVideoAudioTextsSessionAndTime) {
    WsVideoParam v{};
    v.codec = 5;
    v.bitrate = 3000;
    v.fps = 60;
    v.width = 1080;
    v.height = 1920;
    common::CopyText(v.text1, "a");
    common::CopyText(v.text2, "b");
    WsAudioParam a{3, 44100, 1};
    TableReader t = Body(wire::BuildPlayReq(v, a, "sid", 42));
    EXPECT_EQ(t.U32(0), 5u);
    EXPECT_EQ(t.U32(1), 3000u);
    EXPECT_EQ(t.U32(2), 60u);
    EXPECT_EQ(t.U32(3), 1080u);
    EXPECT_EQ(t.U32(4), 1920u);
    EXPECT_EQ(t.U32(5), 3u);
    EXPECT_EQ(t.U32(6), 44100u);
    EXPECT_EQ(t.U32(7), 1u);
    EXPECT_EQ(t.Str(8), "a");
    EXPECT_EQ(t.Str(9), "b");
    EXPECT_EQ(t.Str(10), "sid");
    EXPECT_EQ(t.I64(11), 42);
}

TEST(WireBuilder, KeyAndPlayControlLeaveTheirDefaultOneOff) {
    TableReader down = Body(wire::BuildKeyReq(1, 30));
    EXPECT_EQ(down.U8(0), 30);
    EXPECT_FALSE(down.Has(1));
    EXPECT_EQ(down.U8(1, 1), 1);
    EXPECT_FALSE(down.Has(2));
    EXPECT_FALSE(down.Has(3));
    TableReader up = Body(wire::BuildKeyReq(0, 30));
    EXPECT_TRUE(up.Has(1));
    EXPECT_EQ(up.U8(1, 1), 0);

    // Field 0 carries the second argument, field 1 the first.
    TableReader pc = Body(wire::BuildPlayControlReq(0, 1, "s", 5));
    EXPECT_FALSE(pc.Has(0));
    EXPECT_TRUE(pc.Has(1));
    EXPECT_EQ(pc.U8(1, 1), 0);
    EXPECT_EQ(pc.Str(2), "s");
    EXPECT_EQ(pc.I64(3), 5);
}

TEST(WireBuilder, TouchPointsInOrderAndNoVectorWithoutPoints) {
    uint32_t xs[3] = {1, 2, 70000};
    uint32_t ys[3] = {10, 20, 30};
    TableReader t = Body(wire::BuildTouchReq(2, xs, ys, 3));
    EXPECT_EQ(t.U8(0), 2);
    auto points = t.Points(1);
    ASSERT_EQ(points.size(), 3u);
    EXPECT_EQ(points[2], std::make_pair(70000u, 30u));
    EXPECT_EQ(points[0], std::make_pair(1u, 10u));
    EXPECT_FALSE(t.Has(2));
    EXPECT_FALSE(t.Has(3));

    TableReader empty = Body(wire::BuildTouchReq(1, nullptr, nullptr, 0));
    EXPECT_EQ(empty.U8(0), 1);
    EXPECT_FALSE(empty.Has(1));
}

TEST(WireBuilder, SensorLocationAndParameterMessages) {
    TableReader s = Body(wire::BuildSensorReq(4, 1.5f, -2.0f, 1.5f));
    EXPECT_EQ(s.U32(0), 4u);
    EXPECT_FLOAT_EQ(s.F32(1), 1.5f);
    EXPECT_FLOAT_EQ(s.F32(2), -2.0f);
    EXPECT_FLOAT_EQ(s.F32(3), 1.5f);

    const float loc[8] = {1, 2, 0, 4, 5, 6, 7, 8.5f};
    TableReader l = Body(wire::BuildLocationReq(loc));
    EXPECT_FLOAT_EQ(l.F32(0), 1);
    EXPECT_FALSE(l.Has(2));  // 0.0 is the default
    EXPECT_FLOAT_EQ(l.F32(7), 8.5f);
    EXPECT_FALSE(l.Has(8));
    EXPECT_FALSE(l.Has(9));

    TableReader mic = Body(wire::BuildMicParamReq(48000, 1, 16));
    EXPECT_EQ(mic.U32(0), 48000u);
    EXPECT_EQ(mic.U32(1), 1u);
    EXPECT_EQ(mic.U32(2), 16u);

    const char blob[] = {9, 8, 7};
    TableReader cam = Body(wire::BuildCameraParamReq(264, 640, 480, blob, sizeof(blob)));
    EXPECT_EQ(cam.U32(0), 264u);
    EXPECT_EQ(cam.U32(2), 480u);
    EXPECT_EQ(cam.Bytes(3), std::string(blob, 3));
    EXPECT_FALSE(Body(wire::BuildCameraParamReq(1, 2, 3, nullptr, 0)).Has(3));

    TableReader rot = Body(wire::BuildSetRotationReq(1, 2, 77));
    EXPECT_EQ(rot.U32(0), 1u);
    EXPECT_EQ(rot.U32(1), 2u);
    EXPECT_EQ(rot.I64(2), 77);

    TableReader mode = Body(wire::BuildInputModeReq(1, "sid", 78));
    EXPECT_EQ(mode.U32(0), 1u);
    EXPECT_EQ(mode.Str(1), "sid");
    EXPECT_EQ(mode.I64(2), 78);

    TableReader vp = Body(wire::BuildSetVideoParamReq(25, 2000, 540, 960, "sid", 79));
    EXPECT_EQ(vp.U32(0), 25u);
    EXPECT_EQ(vp.U32(1), 2000u);
    EXPECT_EQ(vp.U32(2), 540u);
    EXPECT_EQ(vp.U32(3), 960u);
    EXPECT_EQ(vp.Str(4), "sid");
    EXPECT_EQ(vp.I64(5), 79);
}

TEST(WireBuilder, TextAndMessageTransfer) {
    wire::Package in = wire::BuildTextReq(wire::kInputString, "hello", 5);
    EXPECT_EQ(TypeOf(in), 3000u);
    TableReader t = Body(in);
    EXPECT_EQ(t.Str(0), "hello");
    EXPECT_FALSE(t.Has(1));
    EXPECT_FALSE(t.Has(2));
    EXPECT_EQ(TypeOf(wire::BuildTextReq(wire::kCopyString, "c", 1)), 3002u);

    TableReader req = Body(wire::BuildMsgTransReq("svc", "payload", "sid", 5));
    EXPECT_EQ(req.Str(0), "payload");
    EXPECT_EQ(req.Str(1), "svc");
    EXPECT_EQ(req.Str(2), "sid");
    EXPECT_EQ(req.I64(3), 5);

    TableReader res = Body(wire::BuildMsgTransRes("done", 3, "sid", 6));
    EXPECT_EQ(res.U32(0), 3u);
    EXPECT_TRUE(res.Has(1));
    EXPECT_EQ(res.Str(1), "");
    EXPECT_EQ(res.Str(2), "done");
    EXPECT_EQ(res.Str(3), "sid");
    EXPECT_EQ(res.I64(4), 6);
}

TEST(WireBuilder, DelayProbeAndReport) {
    TableReader probe = Body(wire::BuildDelayReq(1234, "sid"));
    EXPECT_EQ(probe.I64(0), 1234);
    EXPECT_EQ(probe.Str(1), "sid");
    EXPECT_EQ(probe.I64(2), 1234);

    TableReader report = Body(wire::BuildDelayReport(17, "sid", 99));
    EXPECT_FALSE(report.Has(0));
    EXPECT_FALSE(report.Has(1));
    EXPECT_EQ(report.U32(2), 17u);
    EXPECT_EQ(report.Str(3), "sid");
    EXPECT_EQ(report.I64(4), 99);
}

TEST(WireBuilder, WebRtcMessages) {
    TableReader offer = Body(wire::BuildOfferReq("sid", 1));
    EXPECT_TRUE(offer.Has(0));
    EXPECT_EQ(offer.Str(0), "");
    EXPECT_EQ(offer.Str(1), "sid");
    EXPECT_EQ(offer.I64(2), 1);

    TableReader answer = Body(wire::BuildAnswerReq("v=0", "sid", 2));
    EXPECT_EQ(answer.Str(0), "v=0");
    EXPECT_EQ(answer.Str(1), "sid");

    TableReader cand = Body(wire::BuildCandidate(3, "audio", "candidate:1", "sid", 4));
    EXPECT_EQ(cand.Str(0), "candidate:1");
    EXPECT_EQ(cand.Str(1), "audio");
    EXPECT_EQ(cand.U32(2), 3u);
    EXPECT_FALSE(cand.Has(3));
    EXPECT_EQ(cand.Str(4), "sid");
    EXPECT_EQ(cand.I64(5), 4);
}
