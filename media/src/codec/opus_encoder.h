#pragma once
// Interleaved PCM (16-bit or float, any rate) to Opus packets through libopus.
// Input is resampled to the output rate and gathered into whole frames.
#include <memory>
#include <vector>

#include <opus/opus.h>

#include "codec/codec_interface.h"
#include "linear_resampler.h"

namespace codec_interface {

class OpusAudioEncoder : public ICodecInterface {
public:
    CodecType GetType() const override { return CODEC_AUDIO_ENCODE_OPUS; }
    int Init(const CAudioEncodeParam& param) override;
    int Encode(const uint8_t* data, int length, CAudioEncodeOutParam& out) override;
    void UnInit() override;

private:
    struct Free {
        void operator()(OpusEncoder* encoder) const { opus_encoder_destroy(encoder); }
    };
    std::unique_ptr<OpusEncoder, Free> m_encoder;
    CAudioEncodeParam m_param;
    int m_frameSamples = 0;  // per channel
    LinearResampler m_resampler;
    std::vector<float> m_input;    // this call's samples as float
    std::vector<float> m_pending;  // resampled, not yet a whole frame
};

}  // namespace codec_interface
