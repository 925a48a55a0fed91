#pragma once
// Shared pieces of the link tests: a notification recorder, a log collector,
// default parameter records and a silent TCP listener.
#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "relay_port/relay_port.h"
#include "stream_peer/stream_peer.h"

namespace relay_test {

// Records every notification as one text, e.g. "status:2" or "error:401:bad".
class RecordingNotic : public relay_port::IRelayPortNotic {
public:
    void OnConnectStatus(int status) override { Add("status:" + std::to_string(status)); }
    void OnPlayRes(int code, const char* msg, int vc, int br, int fps, int w, int h, int ac, int sr, int ch) override;
    void OnMsgTransRes(int code, const char* service, const char* msg) override;
    void OnMsgTransReq(const char* service, const char* msg) override;
    void OnOutSensor(int type, bool on) override;
    void OnOutCopy(const char* text) override;
    void OnOutScreen(int rotation, int fps, int bitrate, int width, int height) override;
    void OnAVPlayRes(int code, const char* msg) override;
    void OnAVConfRes(int code, const char* msg, int fps, int bitrate, int width, int height) override;
    void OnOutMic(bool on, int samples) override;
    void OnOutCamera(int type, bool on, uint16_t width, uint16_t height) override;
    void OnDelay(uint32_t delayMs) override;
    void OnOfferRes(int code, const char* msg, const char* offer) override;
    void OnAnswerRes(int code, const char* msg) override;
    void OnCandidateRes(int code, const char* msg) override;
    void OnCandidateReq(int mlineIndex, const char* mid, const char* candidate) override;
    void OnAppEvent(int type, bool state) override;
    void OnCloudNotify(int type, const char* msg) override;
    void OnError(int code, const char* msg) override;
    void OnVideoData(uint64_t first, uint64_t second, const uint8_t* data, uint32_t length) override;
    void OnAudioData(const uint8_t* data, uint32_t length) override;
    void OnCursor(bool shown) override;
    void OnSetRotationRes(int code) override;

    std::vector<std::string> Events() const;
    size_t Count(const std::string& event) const;
    // Events starting with prefix, in order.
    std::vector<std::string> WithPrefix(const std::string& prefix) const;
    bool WaitFor(const std::string& event, size_t count = 1, int timeoutMs = 10000);
    bool WaitForPrefix(const std::string& prefix, size_t count = 1, int timeoutMs = 10000);
    void Clear();

private:
    void Add(std::string event);
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::string> m_events;
};

// Captures every log line while alive.
class LogCollector {
public:
    LogCollector();
    ~LogCollector();
    bool Has(const std::string& text) const;
    size_t Count(const std::string& text) const;
    bool WaitFor(const std::string& text, int timeoutMs = 10000);
    std::vector<std::string> Lines() const;

private:
    struct State;
    std::shared_ptr<State> m_state;
};

struct LinkParams {
    relay_port::WsAuthParam auth{};
    relay_port::WsVideoParam video{};
    relay_port::WsAudioParam audio{};
    relay_port::WsSystemParam system{};
    LinkParams();
};

// Inits link against url with params; returns Init's result.
int InitLink(relay_port::IRelayPort& link, const std::string& url, const LinkParams& params,
             std::shared_ptr<RecordingNotic> notic);

// Accepts TCP connections into its backlog and never answers (an upgrade that never comes).
class SilentListener {
public:
    SilentListener();
    ~SilentListener();
    std::string Url() const;

private:
    int m_fd = -1;
    int m_port = 0;
};

// A closed port on 127.0.0.1 (bound, then released).
std::string ClosedPortUrl();

}  // namespace relay_test
