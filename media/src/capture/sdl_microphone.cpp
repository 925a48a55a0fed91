#include <SDL2/SDL.h>

#include <chrono>
#include <thread>
#include <vector>

#include "capture/device_producers.h"
#include "sdl_subsystem.h"

namespace capture {

std::vector<std::string> ListMicrophones() {
    media_sdl::SdlSubsystem audio(SDL_INIT_AUDIO);
    std::vector<std::string> names;
    if (!audio.Ok()) return names;
    std::lock_guard<std::mutex> lock(media_sdl::SdlLock());
    const int count = SDL_GetNumAudioDevices(1);
    for (int i = 0; i < count; ++i) {
        const char* name = SDL_GetAudioDeviceName(i, 1);
        if (name) names.emplace_back(name);
    }
    return names;
}

struct CSdlMicrophone::Device {
    std::unique_ptr<media_sdl::SdlSubsystem> audio;
    SDL_AudioDeviceID id = 0;
    int blockBytes = 0;
    int blockSamples = 0;
    std::vector<uint8_t> block;

    ~Device() {
        if (id != 0) {
            std::lock_guard<std::mutex> lock(media_sdl::SdlLock());
            SDL_CloseAudioDevice(id);
        }
    }
};

CSdlMicrophone::CSdlMicrophone(Options options) : CThreadedProducer(CAPTURE_TYPE_PCM), m_options(std::move(options)) {}

CSdlMicrophone::~CSdlMicrophone() { Shutdown(); }

bool CSdlMicrophone::OpenDevice(std::string& error) {
    if (m_options.sampleRate < 8000 || m_options.sampleRate > 192000 || m_options.channels < 1 ||
        m_options.channels > 2) {
        error = "the microphone's format is out of range";
        return false;
    }
    auto d = std::make_unique<Device>();
    d->audio = std::make_unique<media_sdl::SdlSubsystem>(SDL_INIT_AUDIO);
    if (!d->audio->Ok()) {
        error = std::string("no microphone: SDL audio does not start: ") + SDL_GetError();
        return false;
    }
    d->blockSamples = m_options.sampleRate / 50;
    d->blockBytes = d->blockSamples * m_options.channels * 2;
    SDL_AudioSpec want{};
    want.freq = m_options.sampleRate;
    want.format = AUDIO_S16SYS;
    want.channels = static_cast<Uint8>(m_options.channels);
    want.samples = static_cast<Uint16>(d->blockSamples);
    want.callback = nullptr;  // queued: the capture loop takes whole blocks
    SDL_AudioSpec have{};
    {
        std::lock_guard<std::mutex> lock(media_sdl::SdlLock());
        d->id = SDL_OpenAudioDevice(m_options.device.empty() ? nullptr : m_options.device.c_str(), 1, &want, &have, 0);
        if (d->id == 0) {
            error = "no microphone: " +
                    (m_options.device.empty() ? std::string("the default capture device")
                                              : "capture device \"" + m_options.device + "\"") +
                    " cannot be opened: " + SDL_GetError();
            return false;
        }
        SDL_PauseAudioDevice(d->id, 0);
    }
    d->block.resize(static_cast<size_t>(d->blockBytes));
    m_device = std::move(d);
    return true;
}

bool CSdlMicrophone::CaptureNext(const std::atomic<bool>& stop) {
    Device& d = *m_device;
    Uint32 got = 0;
    {
        std::lock_guard<std::mutex> lock(media_sdl::SdlLock());
        if (SDL_GetAudioDeviceStatus(d.id) == SDL_AUDIO_STOPPED) return false;  // unplugged
        if (SDL_GetQueuedAudioSize(d.id) >= static_cast<Uint32>(d.blockBytes)) {
            got = SDL_DequeueAudio(d.id, d.block.data(), static_cast<Uint32>(d.blockBytes));
        }
    }
    if (got < static_cast<Uint32>(d.blockBytes)) {
        if (!stop) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return true;
    }
    CaptureFrame frame;
    frame.type = CAPTURE_TYPE_PCM;
    frame.data = d.block.data();
    frame.length = d.blockBytes;
    frame.sampleRate = m_options.sampleRate;
    frame.channels = m_options.channels;
    frame.sampleFormat = 1;
    frame.samples = d.blockSamples;
    frame.timestampMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::system_clock::now().time_since_epoch())
                            .count();
    Deliver(frame);
    return true;
}

void CSdlMicrophone::CloseDevice() { m_device.reset(); }

}  // namespace capture
