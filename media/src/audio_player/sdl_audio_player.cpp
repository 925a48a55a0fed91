#include "sdl_audio_player.h"

#include "common/qv_log.h"

namespace audio_player {

SdlAudioPlayer::~SdlAudioPlayer() { UnInit(); }

int SdlAudioPlayer::Init(int channels, int bufferSamples, int sampleRate, int maxLatencyMs) {
    UnInit();
    if ((channels != 1 && channels != 2) || sampleRate < 8000 || sampleRate > 192000 || bufferSamples <= 0 ||
        bufferSamples > 65535 || maxLatencyMs <= 0) {
        QV_LOG(60, "[AUDIO_PLAYER]bad parameters [%d ch %d Hz %d samples]", channels, sampleRate, bufferSamples);
        return -1;
    }
    try {
        m_audio = std::make_unique<media_sdl::SdlSubsystem>(SDL_INIT_AUDIO);
    } catch (...) {
        return -1;
    }
    if (!OpenDevice(channels, bufferSamples, sampleRate)) {
        m_audio.reset();  // takes the SDL lock itself
        return -1;
    }
    m_channels = channels;
    m_sampleRate = sampleRate;
    m_maxLatencyMs = maxLatencyMs;
    return 0;
}

bool SdlAudioPlayer::OpenDevice(int channels, int bufferSamples, int sampleRate) {
    std::lock_guard<std::mutex> lock(media_sdl::SdlLock());
    if (!m_audio->Ok()) {
        QV_LOG(60, "[AUDIO_PLAYER]err[-1:%s] SDL_InitSubSystem audio", SDL_GetError());
        return false;
    }
    SDL_AudioSpec wanted{};
    wanted.freq = sampleRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = static_cast<Uint8>(channels);
    wanted.samples = static_cast<Uint16>(bufferSamples);
    SDL_AudioSpec obtained{};
    m_device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (m_device == 0) {
        QV_LOG(60, "[AUDIO_PLAYER]err[-1:%s] SDL_OpenAudioDevice", SDL_GetError());
        return false;
    }
    SDL_PauseAudioDevice(m_device, 0);
    return true;
}

int SdlAudioPlayer::Play(const int16_t* pcm, int samples) {
    if (m_device == 0 || !pcm || samples <= 0) {
        return -1;
    }
    if (QueuedMs() >= m_maxLatencyMs) {
        return 1;
    }
    const Uint32 bytes = static_cast<Uint32>(samples) * static_cast<Uint32>(m_channels) * sizeof(int16_t);
    std::lock_guard<std::mutex> lock(media_sdl::SdlLock());
    return SDL_QueueAudio(m_device, pcm, bytes) == 0 ? 0 : -1;
}

int SdlAudioPlayer::Play(const codec_interface::CAudioDecodeOutParam& block) {
    if (block.channels != m_channels || block.sampleRate != m_sampleRate ||
        block.pcm.size() < static_cast<size_t>(block.samples) * static_cast<size_t>(m_channels)) {
        return -1;
    }
    return Play(block.pcm.data(), block.samples);
}

int SdlAudioPlayer::QueuedMs() const {
    if (m_device == 0) {
        return 0;
    }
    const Uint32 bytes = SDL_GetQueuedAudioSize(m_device);
    const int64_t frames = bytes / (static_cast<Uint32>(m_channels) * sizeof(int16_t));
    return static_cast<int>(frames * 1000 / m_sampleRate);
}

void SdlAudioPlayer::UnInit() {
    if (m_device != 0) {
        std::lock_guard<std::mutex> lock(media_sdl::SdlLock());
        SDL_CloseAudioDevice(m_device);
        m_device = 0;
    }
    m_audio.reset();
}

}  // namespace audio_player
