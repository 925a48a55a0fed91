#pragma once
// Opus packets to interleaved 16-bit PCM through libopus.
#include <memory>

#include <opus/opus.h>

#include "codec/codec_interface.h"

namespace codec_interface {

class OpusAudioDecoder : public ICodecInterface {
public:
    CodecType GetType() const override { return CODEC_AUDIO_DECODE_OPUS; }
    int Init(const CAudioDecodeParam& param) override;
    int Decode(const uint8_t* data, int length, CAudioDecodeOutParam& out) override;
    void UnInit() override { m_decoder.reset(); }

private:
    struct Free {
        void operator()(OpusDecoder* decoder) const { opus_decoder_destroy(decoder); }
    };
    std::unique_ptr<OpusDecoder, Free> m_decoder;
    int m_sampleRate = 0;
    int m_channels = 0;
};

// True for the rates libopus codes at.
bool IsOpusRate(int rate);

}  // namespace codec_interface
