// Video packages (4009) from a local stream peer, received and dispatched by
// one link, beside the same transfer read by a plain Boost.Beast client.
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <string>

#include "bench_common.h"
#include "common/qv_log.h"
#include "peers/clients.h"
#include "relay_port/relay_port.h"
#include "stream_peer/stream_peer.h"

namespace relay_bench {
namespace {

class CountingNotic : public relay_port::IRelayPortNotic {
public:
    void OnConnectStatus(int status) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_status = status;
        m_changed.notify_all();
    }
    void OnVideoData(uint64_t, uint64_t, const uint8_t* data, uint32_t length) override {
        m_bytes += length;
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_frames;
        m_changed.notify_all();
    }
    bool WaitStatus(int status) {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::seconds(10), [&] { return m_status == status; });
    }
    bool WaitFrames(size_t n) {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::seconds(120), [&] { return m_frames >= n; });
    }
    void Reset() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_frames = 0;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_status = -1;
    size_t m_frames = 0;
    std::atomic<size_t> m_bytes{0};
};

std::string VideoPackage(size_t dataSize) {
    std::string body(16 + dataSize, '\x5a');
    uint64_t pts = 123456789, flag = 1;
    memcpy(&body[0], &pts, 8);
    memcpy(&body[8], &flag, 8);
    return stream_peer::MessageWriter::Frame(4009, body);
}

// Seconds the link needs to receive and dispatch count packages.
double LinkSeconds(const std::string& frame, size_t count) {
    stream_peer::StreamPeer peer;
    auto notic = std::make_shared<CountingNotic>();
    auto link = relay_port::IRelayPort::Create();
    relay_port::WsAuthParam auth{};
    common::CopyText(auth.sessionId, "bench");
    common::CopyText(auth.instanceNo, "bench-1");
    relay_port::WsVideoParam video{1, 720, 1280, 30, 4000000, {}, {}};
    relay_port::WsAudioParam audio{2, 48000, 2};
    relay_port::WsSystemParam system{0, 5000, 1000, 0};
    if (link->Init("bench", peer.Url().c_str(), &auth, &video, &audio, &system, notic) != 0 ||
        !notic->WaitStatus(relay_port::WS_STATUS_PLAYING)) {
        printf("  link did not start playing\n");
        return -1;
    }
    notic->Reset();
    double start = NowSeconds();
    for (size_t i = 0; i < count; ++i) peer.Send(frame);
    bool ok = notic->WaitFrames(count);
    double seconds = NowSeconds() - start;
    link->UnInit();
    return ok ? seconds : -1;
}

// Seconds a blocking Beast client needs to read the same packages.
double BeastSeconds(const std::string& frame, size_t count) {
    stream_peer::StreamPeer peer;
    peers::WsClient client;
    if (!client.Connect(peer.Url()) || !peer.WaitForConnections(1)) return -1;
    double start = NowSeconds();
    for (size_t i = 0; i < count; ++i) peer.Send(frame);
    std::string data;
    bool binary = false;
    for (size_t i = 0; i < count; ++i) {
        if (!client.Receive(data, binary, 30000)) return -1;
    }
    double seconds = NowSeconds() - start;
    client.Close();
    return seconds;
}

void MeasureRate(size_t dataSize, size_t count) {
    std::string frame = VideoPackage(dataSize);
    double link = LinkSeconds(frame, count);
    double beast = BeastSeconds(frame, count);
    if (link <= 0 || beast <= 0) {
        printf("  %zu KiB: transfer failed (link %.3f s, beast %.3f s)\n", dataSize / 1024, link, beast);
        return;
    }
    double mb = static_cast<double>(frame.size()) * count / 1e6;
    printf("  %3zu KiB x %zu: link %8.0f pkg/s %7.1f MB/s | beast client %8.0f pkg/s %7.1f MB/s | ratio %.2f\n",
           dataSize / 1024, count, count / link, mb / link, count / beast, mb / beast, beast / link);
}

}  // namespace

void RunVideoReceiveRate() {
    printf("video receive rate on loopback (baseline: plain Boost.Beast client; ratio = link rate / beast rate)\n");
    MeasureRate(20 * 1024, 5000);
    MeasureRate(200 * 1024, 800);
}

}  // namespace relay_bench
