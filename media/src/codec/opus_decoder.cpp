#include "opus_decoder.h"

#include "common/qv_log.h"

namespace codec_interface {

bool IsOpusRate(int rate) {
    return rate == 8000 || rate == 12000 || rate == 16000 || rate == 24000 || rate == 48000;
}

int OpusAudioDecoder::Init(const CAudioDecodeParam& param) {
    UnInit();
    if (!IsOpusRate(param.sampleRate) || (param.channels != 1 && param.channels != 2)) {
        QV_LOG(60, "[CODEC]opus decoder: unsupported [%d Hz %d ch]", param.sampleRate, param.channels);
        return -1;
    }
    int err = OPUS_OK;
    m_decoder.reset(opus_decoder_create(param.sampleRate, param.channels, &err));
    if (err != OPUS_OK || !m_decoder) {
        QV_LOG(60, "[CODEC]err[%d:%s] opus_decoder_create", err, opus_strerror(err));
        m_decoder.reset();
        return -1;
    }
    m_sampleRate = param.sampleRate;
    m_channels = param.channels;
    return 0;
}

int OpusAudioDecoder::Decode(const uint8_t* data, int length, CAudioDecodeOutParam& out) {
    if (!m_decoder || !data || length <= 0) {
        return -1;
    }
    try {
        const int maxSamples = m_sampleRate / 1000 * 120;  // the longest Opus packet
        out.pcm.resize(static_cast<size_t>(maxSamples) * m_channels);
        const int samples = opus_decode(m_decoder.get(), data, length, out.pcm.data(), maxSamples, 0);
        if (samples <= 0) {
            QV_LOG(0, "[CODEC]err[%d:%s] opus_decode", samples, opus_strerror(samples));
            out.pcm.clear();
            out.samples = 0;
            return -1;
        }
        out.pcm.resize(static_cast<size_t>(samples) * m_channels);
        out.samples = samples;
        out.sampleRate = m_sampleRate;
        out.channels = m_channels;
        return samples;
    } catch (...) {
        return -1;
    }
}

}  // namespace codec_interface
