#pragma once
// Streams one phone to one connection: renders the screen at the frame
// rate, encodes it as H.264 and the tone as Opus, and hands each package to
// the send function. One thread per streamer; Stop joins it.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "sim_log.h"
#include "synthetic_phone.h"

namespace cloudsim {

struct StreamSettings {
    int fps = 30;
    int bitrateKbps = 2048;
};

// Clamps what a client asks for to what the phone streams: 1..60 fps
// (0 means 30), 100..20000 kbit/s (0 means 2048).
StreamSettings ClampSettings(int fps, int bitrateKbps);

class MediaStreamer {
public:
    // Returns false when the connection takes no more packages; the streamer then stops sending.
    using SendFn = std::function<bool(const std::string& package)>;
    // Told of each encoded picture just before its package is sent; may be null.
    using VideoSentFn = std::function<void(const std::string& instanceNo, const std::vector<uint8_t>& accessUnit)>;

    MediaStreamer(std::shared_ptr<SyntheticPhone> phone, SendFn send, const SimLog& log,
                  VideoSentFn videoSent = nullptr);
    ~MediaStreamer();
    MediaStreamer(const MediaStreamer&) = delete;
    MediaStreamer& operator=(const MediaStreamer&) = delete;

    void Start(const StreamSettings& settings);
    // New frame rate and bit rate from the next frame on (the encoder reopens with a key frame).
    void Update(const StreamSettings& settings);
    StreamSettings Settings() const;
    void SetPaused(bool paused);
    void SetAudio(bool on);
    // Sets the stop flag and joins the thread; a stopped streamer does not
    // start again. Never call it from the send function.
    void Stop();

private:
    void Run();

    std::shared_ptr<SyntheticPhone> m_phone;
    SendFn m_send;
    VideoSentFn m_videoSent;
    const SimLog& m_log;
    std::mutex m_lifeMutex;  // Start and Stop, and the thread object
    bool m_finished = false;
    mutable std::mutex m_mutex;  // settings and the stop flag, shared with the thread
    std::condition_variable m_wake;
    StreamSettings m_settings;
    bool m_settingsChanged = false;
    bool m_stop = false;
    std::atomic<bool> m_paused{false};
    std::atomic<bool> m_audio{true};
    std::thread m_thread;
};

}  // namespace cloudsim
