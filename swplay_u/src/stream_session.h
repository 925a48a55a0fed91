#pragma once
// The stream behind a data source: a stream link to "ws://host:port", the
// login as its auth request, the play parameters as its play request, the
// decoded pictures into the display, and the user's input.
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "frame_decoder.h"
#include "stream_counters.h"
#include "swplay_u/sw_data_source.h"

namespace relay_port {
class IRelayPort;
}

namespace swplay_u {

class LinkEvents;
class VideoDisplayWinBase;

struct LoginParams {
    std::string host;
    uint16_t port = 0;
    int64_t userId = 0;
    std::string appToken;
    std::string deviceId;
    bool set = false;
};

struct PlayParams {
    std::string extra;
    int width = 720;
    int height = 1280;
    int fps = 20;
    int bitrate = 4096;
};

class SWStreamSession {
public:
    explicit SWStreamSession(SWDataSourceListener* listener);
    ~SWStreamSession();

    LoginParams login;
    PlayParams play;
    int businessType = 0;
    std::vector<SWVideoLevel> levels;
    // Changed by the application while the link's thread reads them.
    std::atomic<int> level{1};
    std::atomic<int> castMode{SWDataSource::kScreenCastFull};

    // -1 without login parameters, a display or a working link.
    int Start(VideoDisplayWinBase* display);
    // Ends the stream and joins the SDK's threads; no listener call follows.
    void Stop();
    bool Playing() const { return m_link != nullptr; }

    int SendVideoLevel();
    int SendTouch(int action, int x, int y);
    int SendKey(int action, int code);
    int SendCopy(const std::string& text);
    int SendInput(const std::string& text);

    // From the link's thread.
    void OnStatus(int status);
    void OnVideo(uint64_t flags, const uint8_t* data, uint32_t length);
    void OnScreen(int rotation);
    void OnCursor(bool shown);
    void OnDelay(uint32_t delayMs) { m_counters.OnDelay(delayMs); }
    void OnError(int code, const char* msg) { m_counters.OnError(code, msg); }

    void FillStats(SWStreamStats& out) const { m_counters.Fill(out, common::SteadyMs()); }

private:
    SWDataSourceListener* m_listener;
    VideoDisplayWinBase* m_display = nullptr;
    std::shared_ptr<relay_port::IRelayPort> m_link;
    std::shared_ptr<LinkEvents> m_events;
    StreamCounters m_counters;  // before the decoder, which counts into it
    FrameDecoder m_decoder;
    std::atomic<bool> m_everConnected{false};
    std::atomic<int> m_lastStatus{-1};
};

}  // namespace swplay_u
