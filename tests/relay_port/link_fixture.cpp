#include "link_fixture.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

#include "base/base_log.h"
#include "common/qv_log.h"

namespace relay_test {

namespace {
std::string S(const char* text) { return text ? text : "(null)"; }
}  // namespace

void RecordingNotic::OnPlayRes(int code, const char* msg, int vc, int br, int fps, int w, int h, int ac, int sr,
                               int ch) {
    char line[512];
    snprintf(line, sizeof(line), "play:%d:%s:%d:%d:%d:%d:%d:%d:%d:%d", code, S(msg).c_str(), vc, br, fps, w, h, ac,
             sr, ch);
    Add(line);
}
void RecordingNotic::OnMsgTransRes(int code, const char* service, const char* msg) {
    Add("msgtransres:" + std::to_string(code) + ":" + S(service) + ":" + S(msg));
}
void RecordingNotic::OnMsgTransReq(const char* service, const char* msg) {
    Add("msgtransreq:" + S(service) + ":" + S(msg));
}
void RecordingNotic::OnOutSensor(int type, bool on) { Add("sensor:" + std::to_string(type) + ":" + std::to_string(on)); }
void RecordingNotic::OnOutCopy(const char* text) { Add("copy:" + S(text)); }
void RecordingNotic::OnOutScreen(int rotation, int fps, int bitrate, int width, int height) {
    Add("screen:" + std::to_string(rotation) + ":" + std::to_string(fps) + ":" + std::to_string(bitrate) + ":" +
        std::to_string(width) + ":" + std::to_string(height));
}
void RecordingNotic::OnAVPlayRes(int code, const char* msg) { Add("avplay:" + std::to_string(code) + ":" + S(msg)); }
void RecordingNotic::OnAVConfRes(int code, const char* msg, int fps, int bitrate, int width, int height) {
    Add("avconf:" + std::to_string(code) + ":" + S(msg) + ":" + std::to_string(fps) + ":" + std::to_string(bitrate) +
        ":" + std::to_string(width) + ":" + std::to_string(height));
}
void RecordingNotic::OnOutMic(bool on, int samples) { Add("mic:" + std::to_string(on) + ":" + std::to_string(samples)); }
void RecordingNotic::OnOutCamera(int type, bool on, uint16_t width, uint16_t height) {
    Add("camera:" + std::to_string(type) + ":" + std::to_string(on) + ":" + std::to_string(width) + ":" +
        std::to_string(height));
}
void RecordingNotic::OnDelay(uint32_t delayMs) { Add("delay:" + std::to_string(delayMs)); }
void RecordingNotic::OnOfferRes(int code, const char* msg, const char* offer) {
    Add("offer:" + std::to_string(code) + ":" + S(msg) + ":" + S(offer));
}
void RecordingNotic::OnAnswerRes(int code, const char* msg) { Add("answer:" + std::to_string(code) + ":" + S(msg)); }
void RecordingNotic::OnCandidateRes(int code, const char* msg) {
    Add("candidateres:" + std::to_string(code) + ":" + S(msg));
}
void RecordingNotic::OnCandidateReq(int mlineIndex, const char* mid, const char* candidate) {
    Add("candidate:" + std::to_string(mlineIndex) + ":" + S(mid) + ":" + S(candidate));
}
void RecordingNotic::OnAppEvent(int type, bool state) { Add("appevent:" + std::to_string(type) + ":" + std::to_string(state)); }
void RecordingNotic::OnCloudNotify(int type, const char* msg) { Add("notify:" + std::to_string(type) + ":" + S(msg)); }
void RecordingNotic::OnError(int code, const char* msg) { Add("error:" + std::to_string(code) + ":" + S(msg)); }
void RecordingNotic::OnVideoData(uint64_t first, uint64_t second, const uint8_t* data, uint32_t length) {
    Add("video:" + std::to_string(first) + ":" + std::to_string(second) + ":" +
        std::string(reinterpret_cast<const char*>(data), length));
}
void RecordingNotic::OnAudioData(const uint8_t* data, uint32_t length) {
    Add("audio:" + std::string(reinterpret_cast<const char*>(data), length));
}
void RecordingNotic::OnCursor(bool shown) { Add("cursor:" + std::to_string(shown)); }
void RecordingNotic::OnSetRotationRes(int code) { Add("rotation:" + std::to_string(code)); }

void RecordingNotic::Add(std::string event) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_events.push_back(std::move(event));
    m_changed.notify_all();
}

std::vector<std::string> RecordingNotic::Events() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_events;
}

size_t RecordingNotic::Count(const std::string& event) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    size_t n = 0;
    for (const auto& e : m_events) n += e == event;
    return n;
}

std::vector<std::string> RecordingNotic::WithPrefix(const std::string& prefix) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<std::string> out;
    for (const auto& e : m_events)
        if (e.compare(0, prefix.size(), prefix) == 0) out.push_back(e);
    return out;
}

bool RecordingNotic::WaitFor(const std::string& event, size_t count, int timeoutMs) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        size_t n = 0;
        for (const auto& e : m_events) n += e == event;
        return n >= count;
    });
}

bool RecordingNotic::WaitForPrefix(const std::string& prefix, size_t count, int timeoutMs) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        size_t n = 0;
        for (const auto& e : m_events) n += e.compare(0, prefix.size(), prefix) == 0;
        return n >= count;
    });
}

void RecordingNotic::Clear() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_events.clear();
}

struct LogCollector::State {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::string> lines;
};

LogCollector::LogCollector() : m_state(std::make_shared<State>()) {
    int level = 0;
    base::IBaseLogInterface::GetLogInstance()->SetLevel(&level);
    base::IBaseLogInterface::GetLogInstance()->Apply();
    auto state = m_state;
    base::SetLogCapture([state](int, const std::string& line) {
        std::lock_guard<std::mutex> lock(state->mutex);
        state->lines.push_back(line);
        state->changed.notify_all();
    });
}

LogCollector::~LogCollector() { base::SetLogCapture(nullptr); }

bool LogCollector::Has(const std::string& text) const { return Count(text) > 0; }

size_t LogCollector::Count(const std::string& text) const {
    std::lock_guard<std::mutex> lock(m_state->mutex);
    size_t n = 0;
    for (const auto& l : m_state->lines) n += l.find(text) != std::string::npos;
    return n;
}

bool LogCollector::WaitFor(const std::string& text, int timeoutMs) {
    std::unique_lock<std::mutex> lock(m_state->mutex);
    return m_state->changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        for (const auto& l : m_state->lines)
            if (l.find(text) != std::string::npos) return true;
        return false;
    });
}

std::vector<std::string> LogCollector::Lines() const {
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return m_state->lines;
}

LinkParams::LinkParams() {
    common::CopyText(auth.sessionId, "sess-1");
    common::CopyText(auth.instanceNo, "inst-9");
    common::CopyText(auth.version, "1.1.0");
    auth.authType = 1;
    auth.authArg = 7;
    common::CopyText(auth.authExtra, "extra");
    auth.authMode = 3;
    video.codec = 1;
    video.width = 720;
    video.height = 1280;
    video.fps = 30;
    video.bitrate = 4000000;
    common::CopyText(video.text1, "text-one");
    common::CopyText(video.text2, "text-two");
    audio.codec = 2;
    audio.sampleRate = 48000;
    audio.channels = 2;
    system.reconnect = 1;
    system.connectTimeoutMs = 5000;
    system.reconnectIntervalMs = 1000;
}

int InitLink(relay_port::IRelayPort& link, const std::string& url, const LinkParams& p,
             std::shared_ptr<RecordingNotic> notic) {
    return link.Init("tester", url.c_str(), &p.auth, &p.video, &p.audio, &p.system, std::move(notic));
}

SilentListener::SilentListener() {
    m_fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    bind(m_fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr));
    listen(m_fd, 16);
    socklen_t len = sizeof(addr);
    getsockname(m_fd, reinterpret_cast<sockaddr*>(&addr), &len);
    m_port = ntohs(addr.sin_port);
}

SilentListener::~SilentListener() {
    if (m_fd >= 0) close(m_fd);
}

std::string SilentListener::Url() const { return "ws://127.0.0.1:" + std::to_string(m_port) + "/stream"; }

std::string ClosedPortUrl() {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr));
    socklen_t len = sizeof(addr);
    getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    int port = ntohs(addr.sin_port);
    close(fd);
    return "ws://127.0.0.1:" + std::to_string(port) + "/stream";
}

}  // namespace relay_test
