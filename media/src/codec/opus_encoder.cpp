#include "opus_encoder.h"

#include <cstring>

#include "common/qv_log.h"
#include "opus_decoder.h"

namespace codec_interface {

namespace {

constexpr int kMaxPacketBytes = 4000;

}  // namespace

int OpusAudioEncoder::Init(const CAudioEncodeParam& param) {
    UnInit();
    const bool frameOk = param.frameMs == 10 || param.frameMs == 20 || param.frameMs == 40 || param.frameMs == 60;
    if (!IsOpusRate(param.outputSampleRate) || (param.channels != 1 && param.channels != 2) ||
        param.inputSampleRate < 8000 || param.inputSampleRate > 192000 || !frameOk || param.bitrate <= 0 ||
        (param.sampleFormat != AUDIO_SAMPLE_S16 && param.sampleFormat != AUDIO_SAMPLE_F32)) {
        QV_LOG(60, "[CODEC]opus encoder: unsupported [%d->%d Hz %d ch format %d]", param.inputSampleRate,
               param.outputSampleRate, param.channels, param.sampleFormat);
        return -1;
    }
    int err = OPUS_OK;
    m_encoder.reset(opus_encoder_create(param.outputSampleRate, param.channels, OPUS_APPLICATION_VOIP, &err));
    if (err != OPUS_OK || !m_encoder) {
        QV_LOG(60, "[CODEC]err[%d:%s] opus_encoder_create", err, opus_strerror(err));
        m_encoder.reset();
        return -1;
    }
    opus_encoder_ctl(m_encoder.get(), OPUS_SET_BITRATE(param.bitrate));
    m_param = param;
    m_frameSamples = param.outputSampleRate / 1000 * param.frameMs;
    m_resampler.Reset(param.inputSampleRate, param.outputSampleRate, param.channels);
    return 0;
}

int OpusAudioEncoder::Encode(const uint8_t* data, int length, CAudioEncodeOutParam& out) {
    out.packets.clear();
    if (!m_encoder || !data || length <= 0) {
        return -1;
    }
    const int sampleBytes = m_param.sampleFormat == AUDIO_SAMPLE_S16 ? 2 : 4;
    const int frames = length / (sampleBytes * m_param.channels);
    if (frames <= 0 || length % (sampleBytes * m_param.channels) != 0) {
        return -1;
    }
    try {
        const size_t count = static_cast<size_t>(frames) * m_param.channels;
        m_input.resize(count);
        if (m_param.sampleFormat == AUDIO_SAMPLE_S16) {
            for (size_t i = 0; i < count; ++i) {
                int16_t s;
                std::memcpy(&s, data + i * 2, 2);
                m_input[i] = static_cast<float>(s) / 32768.0f;
            }
        } else {
            std::memcpy(m_input.data(), data, count * 4);
        }
        if (m_param.inputSampleRate == m_param.outputSampleRate) {
            m_pending.insert(m_pending.end(), m_input.begin(), m_input.end());
        } else {
            m_resampler.Process(m_input.data(), frames, m_pending);
        }
        const size_t frameValues = static_cast<size_t>(m_frameSamples) * m_param.channels;
        size_t used = 0;
        unsigned char packet[kMaxPacketBytes];
        while (m_pending.size() - used >= frameValues) {
            const int bytes = opus_encode_float(m_encoder.get(), m_pending.data() + used, m_frameSamples, packet,
                                                kMaxPacketBytes);
            used += frameValues;
            if (bytes < 0) {
                QV_LOG(60, "[CODEC]err[%d:%s] opus_encode_float", bytes, opus_strerror(bytes));
                m_pending.erase(m_pending.begin(), m_pending.begin() + static_cast<long>(used));
                return -1;
            }
            out.packets.emplace_back(packet, packet + bytes);
        }
        m_pending.erase(m_pending.begin(), m_pending.begin() + static_cast<long>(used));
        out.sampleRate = m_param.outputSampleRate;
        out.channels = m_param.channels;
        out.samplesPerPacket = m_frameSamples;
        return static_cast<int>(out.packets.size());
    } catch (...) {
        return -1;
    }
}

void OpusAudioEncoder::UnInit() {
    m_encoder.reset();
    m_pending.clear();
    m_input.clear();
}

}  // namespace codec_interface
