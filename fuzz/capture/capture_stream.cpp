// One stream connection to the local cloud with the client's own package
// builders: what the client sends seeds the cloud's package reader, what the
// cloud answers seeds the client's, and the video's parameter sets seed the
// H.264 SPS parser.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "capture_steps.h"
#include "peers/clients.h"
#include "relay_port/message_builder.h"
#include "relay_port/wire_format.h"

namespace fuzz_capture {
namespace {

namespace wire = relay_port::wire;

constexpr size_t kMaxMediaBytes = 2048;  // media packages are cut to this many bytes of payload

int64_t NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

std::string Bytes(const wire::Package& package) { return std::string(package.data(), package.size()); }

template <size_t N>
void Put(char (&field)[N], const std::string& text) {
    std::snprintf(field, N, "%s", text.c_str());
}

// The Annex B prefix of an access unit up to its first slice: SPS, PPS, SEI.
std::string ParameterSets(const uint8_t* data, size_t length) {
    for (size_t i = 0; i + 3 < length; ++i) {
        if (data[i] != 0 || data[i + 1] != 0 || data[i + 2] != 1) continue;
        const int type = data[i + 3] & 0x1F;
        if (type == 1 || type == 5) {
            const size_t start = i > 0 && data[i - 1] == 0 ? i - 1 : i;
            return std::string(reinterpret_cast<const char*>(data), start);
        }
    }
    return std::string(reinterpret_cast<const char*>(data), length);
}

class StreamCapture {
public:
    explicit StreamCapture(CorpusWriter& corpus) : m_corpus(corpus) {}

    bool Connect(const std::string& url) { return m_ws.Connect(url); }

    void Send(const std::string& kind, const wire::Package& package) {
        const std::string bytes = Bytes(package);
        m_corpus.WriteKind("cloudsim_stream_package", kind, bytes, 1);
        m_sent += bytes;
        m_ws.SendBinary(bytes);
    }

    // Records what arrives until a package of `type` came (or `limit` packages went by).
    bool ReadUntil(uint32_t type, int limit = 400) {
        for (int i = 0; i < limit; ++i) {
            std::string frame;
            bool binary = false;
            if (!m_ws.Receive(frame, binary, 5000)) return false;
            if (!binary || frame.size() < wire::kHeaderSize) continue;
            const uint32_t got = wire::GetBE32(reinterpret_cast<const uint8_t*>(frame.data()));
            Record(got, frame);
            if (got == type) return true;
        }
        return false;
    }

    // The whole run of client packages, back to back, as one connection sent them.
    void WriteSession() { m_corpus.Write("cloudsim_stream_package", "session-all", m_sent); }
    void Close() { m_ws.Close(); }

private:
    void Record(uint32_t type, const std::string& frame) {
        const std::string kind = std::to_string(type);
        if (type == wire::kVideoFrame && frame.size() > wire::kHeaderSize + wire::kVideoPrefixSize) {
            const auto* unit = reinterpret_cast<const uint8_t*>(frame.data()) + wire::kHeaderSize +
                               wire::kVideoPrefixSize;
            const size_t unitLength = frame.size() - wire::kHeaderSize - wire::kVideoPrefixSize;
            const std::string sets = ParameterSets(unit, unitLength);
            if (!sets.empty() && m_sps.insert(sets).second) {
                m_corpus.WriteKind("h264_sps", "parameter-sets", sets, 4);
            }
        }
        if (type == wire::kVideoFrame || type == wire::kAudioFrame) {
            // Cut, with the header's length made to match.
            std::string cut = frame.substr(0, wire::kHeaderSize + kMaxMediaBytes);
            wire::WriteHeader(&cut[0], type, static_cast<uint32_t>(cut.size() - wire::kHeaderSize));
            m_corpus.WriteKind("relay_port_package", kind, cut, 2);
            return;
        }
        m_corpus.WriteKind("relay_port_package", kind, frame, 2);
    }

    CorpusWriter& m_corpus;
    peers::WsClient m_ws;
    std::string m_sent;
    std::set<std::string> m_sps;
};

}  // namespace

bool CaptureStream(cloudsim::CloudSim& cloud, CorpusWriter& corpus) {
    const cloudsim::CloudConfig& config = cloud.Config();
    const std::string userId = config.users.at(0).userId;
    std::string instanceNo;
    for (const auto& instance : config.instances) {
        if (instance.userId == userId) {
            instanceNo = instance.instanceNo;
            break;
        }
    }
    cloudsim::SessionInfo session;
    if (!cloud.LatestSession(instanceNo, session)) {
        std::fprintf(stderr, "capture: no session of %s\n", instanceNo.c_str());
        return false;
    }
    const std::string url = "ws://127.0.0.1:" + std::to_string(session.wsPort);
    const std::string& sid = session.sessionId;

    relay_port::WsAuthParam auth{};
    Put(auth.sessionId, sid);
    Put(auth.instanceNo, instanceNo);
    Put(auth.version, "1.0.3.0");
    auth.authType = 1;
    relay_port::WsVideoParam video{};
    video.codec = 264;
    video.width = 720;
    video.height = 1280;
    video.fps = 10;
    video.bitrate = 1500;
    Put(video.text1, "capture");
    relay_port::WsAudioParam audio{1, 48000, 2};

    // A refused authentication first: its result and the error package.
    {
        StreamCapture refused(corpus);
        relay_port::WsAuthParam wrong = auth;
        Put(wrong.sessionId, "no-such-session");
        if (refused.Connect(url)) {
            refused.Send("auth-unknown-session", wire::BuildAuthReq(wrong, NowMs()));
            refused.ReadUntil(wire::kError, 10);
            refused.Close();
        }
    }

    StreamCapture link(corpus);
    if (!link.Connect(url)) {
        std::fprintf(stderr, "capture: cannot connect to %s\n", url.c_str());
        return false;
    }
    link.Send("auth", wire::BuildAuthReq(auth, NowMs()));
    if (!link.ReadUntil(wire::kAuthRes)) return false;
    link.Send("play", wire::BuildPlayReq(video, audio, sid, NowMs()));
    link.ReadUntil(wire::kPlayRes);
    link.ReadUntil(wire::kVideoFrame);
    link.ReadUntil(wire::kAudioFrame);

    link.Send("delay", wire::BuildDelayReq(NowMs(), sid));
    link.ReadUntil(wire::kDelay);
    link.Send("delay-report", wire::BuildDelayReport(12, sid, NowMs()));
    const uint32_t xs[2] = {100, 300};
    const uint32_t ys[2] = {200, 600};
    link.Send("touch-down", wire::BuildTouchReq(0, xs, ys, 1));
    link.Send("touch-move", wire::BuildTouchReq(2, xs, ys, 2));
    link.Send("touch-up", wire::BuildTouchReq(1, xs, ys, 1));
    link.Send("key-down", wire::BuildKeyReq(1, 30));
    link.Send("key-up", wire::BuildKeyReq(0, 30));
    const std::string text = "hello \xe4\xbd\xa0\xe5\xa5\xbd";
    link.Send("input-string", wire::BuildTextReq(wire::kInputString, text.c_str(), text.size()));
    link.Send("copy-string", wire::BuildTextReq(wire::kCopyString, text.c_str(), text.size()));
    link.ReadUntil(wire::kCopyOut);
    link.Send("input-mode", wire::BuildInputModeReq(1, sid, NowMs()));
    link.ReadUntil(wire::kCursor);
    link.Send("msg-trans", wire::BuildMsgTransReq("service.echo", "{\"a\":1}", sid, NowMs()));
    link.ReadUntil(wire::kMsgTransRes);
    link.Send("msg-trans-res", wire::BuildMsgTransRes("ok", 0, sid, NowMs()));
    link.Send("video-param", wire::BuildSetVideoParamReq(15, 2000, 720, 1280, sid, NowMs()));
    link.ReadUntil(wire::kVideoParamRes);
    link.Send("play-control", wire::BuildPlayControlReq(0, 1, sid, NowMs()));
    link.ReadUntil(wire::kPlayControlRes);
    link.Send("offer", wire::BuildOfferReq(sid, NowMs()));
    link.ReadUntil(wire::kOfferRes);
    link.Send("answer", wire::BuildAnswerReq("v=0", sid, NowMs()));
    link.ReadUntil(wire::kAnswerRes);
    link.Send("candidate", wire::BuildCandidate(0, "0", "candidate:1 1 udp 1 127.0.0.1 9 typ host", sid, NowMs()));
    link.ReadUntil(wire::kCandidateRes);
    link.Send("sensor", wire::BuildSensorReq(1, 0.5f, -9.8f, 0.1f));
    const float place[8] = {116.4f, 39.9f, 50.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f};
    link.Send("location", wire::BuildLocationReq(place));
    link.Send("mic-param", wire::BuildMicParamReq(48000, 1, 960));
    const uint8_t pcm[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    link.Send("mic-data", wire::BuildRaw(wire::kMicData, pcm, sizeof pcm));
    const uint8_t blob[4] = {0xde, 0xad, 0xbe, 0xef};
    link.Send("camera-param", wire::BuildCameraParamReq(640, 480, 30, blob, sizeof blob));
    link.Send("camera-data", wire::BuildRaw(wire::kCameraData, pcm, sizeof pcm));
    link.Send("dummy", wire::BuildDummy());
    // Landscape: a new screen report and parameter sets of the turned picture.
    link.Send("rotation", wire::BuildSetRotationReq(1, 0, NowMs()));
    link.ReadUntil(wire::kSetRotationRes);
    link.ReadUntil(wire::kScreenOut);
    for (int i = 0; i < 3; ++i) link.ReadUntil(wire::kVideoFrame);
    link.WriteSession();
    link.Close();
    return true;
}

}  // namespace fuzz_capture
