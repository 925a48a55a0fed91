#pragma once
// Plays decoded PCM through SDL audio, with a bounded queue: when more than
// the allowed latency is waiting, new blocks are dropped rather than letting
// the delay grow. Init, Play and UnInit are called from one thread.
#include <cstdint>
#include <memory>

#include "codec/codec_out_params.h"
#include "codec/media_api.h"

namespace audio_player {

class MEDIA_API IAudioPlayInterface {
public:
    static std::shared_ptr<IAudioPlayInterface> CreateAudioPlayer();

    // channels (1 or 2), bufferSamples (the device period in samples per
    // channel, e.g. 1920), sampleRate (Hz) of signed 16-bit interleaved PCM;
    // maxLatencyMs bounds the queued sound. 0 success, -1 failure.
    virtual int Init(int channels, int bufferSamples, int sampleRate, int maxLatencyMs = 200) = 0;

    // Queues samples (per channel) of interleaved PCM. 0 queued, 1 dropped
    // because the queue is full, -1 failure.
    virtual int Play(const int16_t* pcm, int samples) = 0;
    // A decoded block; its rate and channels must match Init.
    virtual int Play(const codec_interface::CAudioDecodeOutParam& block) = 0;

    // Milliseconds of sound queued and not yet played.
    virtual int QueuedMs() const = 0;

    virtual void UnInit() = 0;

    virtual ~IAudioPlayInterface() = default;
};

}  // namespace audio_player

namespace audio_play_interface = audio_player;
