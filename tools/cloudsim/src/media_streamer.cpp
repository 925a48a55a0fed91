#include "media_streamer.h"

#include <algorithm>
#include <chrono>
#include <vector>

#include "canvas.h"
#include "h264_encoder.h"
#include "opus_tone.h"
#include "phone_renderer.h"
#include "record_store.h"
#include "stream_messages.h"

namespace cloudsim {
namespace {
using Clock = std::chrono::steady_clock;
constexpr auto kAudioPeriod = std::chrono::milliseconds(OpusTone::kFrameMs);
// A streamer that fell further behind than this skips ahead instead of bursting.
constexpr auto kMaxLag = std::chrono::milliseconds(250);
}  // namespace

StreamSettings ClampSettings(int fps, int bitrateKbps) {
    StreamSettings settings;
    settings.fps = fps <= 0 ? 30 : std::min(fps, 60);
    settings.bitrateKbps = bitrateKbps <= 0 ? 2048 : std::clamp(bitrateKbps, 100, 20000);
    return settings;
}

MediaStreamer::MediaStreamer(std::shared_ptr<SyntheticPhone> phone, SendFn send, const SimLog& log,
                             VideoSentFn videoSent)
    : m_phone(std::move(phone)), m_send(std::move(send)), m_videoSent(std::move(videoSent)), m_log(log) {}

MediaStreamer::~MediaStreamer() { Stop(); }

void MediaStreamer::Start(const StreamSettings& settings) {
    std::lock_guard<std::mutex> life(m_lifeMutex);
    if (m_finished || m_thread.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_settings = settings;
        m_settingsChanged = false;
        m_stop = false;
    }
    m_thread = std::thread([this] { Run(); });
}

void MediaStreamer::Update(const StreamSettings& settings) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_settings = settings;
        m_settingsChanged = true;
    }
    m_wake.notify_all();
}

StreamSettings MediaStreamer::Settings() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_settings;
}

void MediaStreamer::SetPaused(bool paused) { m_paused = paused; }
void MediaStreamer::SetAudio(bool on) { m_audio = on; }

void MediaStreamer::Stop() {
    std::lock_guard<std::mutex> life(m_lifeMutex);
    m_finished = true;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable() && m_thread.get_id() != std::this_thread::get_id()) m_thread.join();
}

void MediaStreamer::Run() {
    H264Encoder video;
    OpusTone audio;
    std::string error;
    if (!audio.Open(&error)) m_log.Write(kLogError, "%s", error.c_str());

    std::unique_ptr<Canvas> canvas;
    uint64_t renderedVersion = 0;
    uint64_t renderedUplink = 0;
    std::string renderedClock;
    bool forceKey = true;
    std::vector<uint8_t> encoded;
    auto nextVideo = Clock::now();
    auto nextAudio = nextVideo;

    while (true) {
        StreamSettings settings;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait_until(lock, std::min(nextVideo, nextAudio), [this] { return m_stop || m_settingsChanged; });
            if (m_stop) break;
            settings = m_settings;
            if (m_settingsChanged) {
                m_settingsChanged = false;
                video.Close();
                nextVideo = Clock::now();
            }
        }
        const auto now = Clock::now();
        bool connected = true;
        if (now >= nextAudio) {
            nextAudio = now - nextAudio > kMaxLag ? now + kAudioPeriod : nextAudio + kAudioPeriod;
            if (m_audio && !m_paused && audio.NextPacket(m_phone->Snapshot().volume, SyntheticPhone::kMaxVolume,
                                                         encoded, &error)) {
                connected = m_send(out::AudioFrame(encoded));
            }
        }
        if (connected && now >= nextVideo) {
            const auto period = std::chrono::microseconds(1000000 / settings.fps);
            nextVideo = now - nextVideo > kMaxLag ? now + period : nextVideo + period;
            const PhoneState state = m_phone->Snapshot();
            if (!video.IsOpen() || video.Settings().width != state.width || video.Settings().height != state.height) {
                VideoSettings wanted{state.width, state.height, settings.fps, settings.bitrateKbps};
                if (!video.Open(wanted, &error)) {
                    m_log.Write(kLogError, "video encoder: %s", error.c_str());
                    break;
                }
                canvas = std::make_unique<Canvas>(state.width, state.height);
                renderedVersion = state.version + 1;  // forces a render
                forceKey = true;
            }
            const std::string clock = ClockText();
            // The uplink shows only on the Camera and Mic apps' screens.
            const uint64_t uplink = state.cameraOn || state.micOn ? m_phone->Uplink().Version() : renderedUplink;
            if (state.version != renderedVersion || clock != renderedClock || uplink != renderedUplink) {
                const UplinkView shown = m_phone->Uplink().View();
                RenderPhone(state, m_phone->Name(), clock, *canvas, &shown);
                renderedVersion = state.version;
                renderedUplink = uplink;
                renderedClock = clock;
            }
            if (!m_paused) {
                bool key = false;
                if (!video.Encode(*canvas, forceKey, encoded, key, &error)) {
                    m_log.Write(kLogError, "video encoder: %s", error.c_str());
                    break;
                }
                forceKey = false;
                if (!encoded.empty()) {
                    if (m_videoSent) m_videoSent(m_phone->InstanceNo(), encoded);
                    connected = m_send(out::VideoFrame(static_cast<uint64_t>(NowMs()),
                                                       key ? out::kVideoFlagKeyFrame : 0, encoded));
                }
            } else {
                forceKey = true;  // resume with a picture the client can start from
            }
        }
        if (!connected) break;
    }
}

}  // namespace cloudsim
