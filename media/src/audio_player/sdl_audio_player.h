#pragma once
// SDL2 audio output of 16-bit PCM through SDL_QueueAudio.
#include <memory>

#include <SDL.h>

#include "audio_player/audio_player.h"
#include "sdl_subsystem.h"

namespace audio_player {

class SdlAudioPlayer : public IAudioPlayInterface {
public:
    ~SdlAudioPlayer() override;

    int Init(int channels, int bufferSamples, int sampleRate, int maxLatencyMs) override;
    int Play(const int16_t* pcm, int samples) override;
    int Play(const codec_interface::CAudioDecodeOutParam& block) override;
    int QueuedMs() const override;
    void UnInit() override;

private:
    bool OpenDevice(int channels, int bufferSamples, int sampleRate);

    std::unique_ptr<media_sdl::SdlSubsystem> m_audio;
    SDL_AudioDeviceID m_device = 0;
    int m_channels = 0;
    int m_sampleRate = 0;
    int m_maxLatencyMs = 0;
};

}  // namespace audio_player
