#include "opus_tone.h"

#include <opus/opus.h>

#include <cmath>

namespace cloudsim {
namespace {
constexpr double kToneHz = 440.0;
constexpr double kFullScale = 0.3 * 32767.0;
constexpr double kTwoPi = 6.283185307179586;
}  // namespace

void OpusTone::EncoderFree::operator()(OpusEncoder* encoder) const { opus_encoder_destroy(encoder); }

OpusTone::OpusTone() = default;
OpusTone::~OpusTone() = default;

bool OpusTone::Open(std::string* error) {
    int code = OPUS_OK;
    OpusEncoder* encoder = opus_encoder_create(kSampleRate, kChannels, OPUS_APPLICATION_AUDIO, &code);
    if (encoder == nullptr || code != OPUS_OK) {
        if (error) *error = std::string("opus_encoder_create failed: ") + opus_strerror(code);
        return false;
    }
    m_encoder.reset(encoder);
    opus_encoder_ctl(encoder, OPUS_SET_BITRATE(64000));
    opus_encoder_ctl(encoder, OPUS_SET_COMPLEXITY(2));
    return true;
}

bool OpusTone::NextPacket(int volume, int maxVolume, std::vector<uint8_t>& out, std::string* error) {
    out.clear();
    if (!m_encoder) {
        if (error) *error = "opus encoder not open";
        return false;
    }
    const double amplitude = maxVolume > 0 ? kFullScale * volume / maxVolume : 0.0;
    opus_int16 pcm[kFrameSamples * kChannels];
    for (int i = 0; i < kFrameSamples; ++i) {
        const auto sample = static_cast<opus_int16>(std::lround(amplitude * std::sin(m_phase)));
        pcm[2 * i] = sample;
        pcm[2 * i + 1] = sample;
        m_phase += kTwoPi * kToneHz / kSampleRate;
        if (m_phase > kTwoPi) m_phase -= kTwoPi;
    }
    unsigned char packet[1500];
    const opus_int32 length = opus_encode(m_encoder.get(), pcm, kFrameSamples, packet, sizeof(packet));
    if (length < 0) {
        if (error) *error = std::string("opus_encode failed: ") + opus_strerror(length);
        return false;
    }
    out.assign(packet, packet + length);
    return true;
}

}  // namespace cloudsim
