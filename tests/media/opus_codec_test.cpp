// Opus encode and decode round trips, at 48 kHz and resampled from 44.1 kHz.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "codec/codec_interface.h"

namespace {

using namespace codec_interface;

constexpr double kPi = 3.14159265358979323846;

// Stereo PCM: a tone of hz on the left, silence on the right.
std::vector<int16_t> LeftTone(int rate, int samples, double hz, int offset) {
    std::vector<int16_t> pcm(static_cast<size_t>(samples) * 2);
    for (int i = 0; i < samples; ++i) {
        pcm[i * 2] = static_cast<int16_t>(12000 * std::sin(2 * kPi * hz * (i + offset) / rate));
        pcm[i * 2 + 1] = 0;
    }
    return pcm;
}

double Rms(const std::vector<int16_t>& pcm, int channel, size_t from) {
    double sum = 0;
    size_t n = 0;
    for (size_t i = from * 2 + channel; i < pcm.size(); i += 2, ++n) sum += double(pcm[i]) * pcm[i];
    return n ? std::sqrt(sum / n) : 0;
}

// Zero crossings per second of one channel: the tone's frequency, twice.
double Crossings(const std::vector<int16_t>& pcm, int rate, size_t from) {
    int crossings = 0;
    for (size_t i = (from + 1) * 2; i < pcm.size(); i += 2) {
        if ((pcm[i - 2] < 0) != (pcm[i] < 0)) ++crossings;
    }
    return crossings * double(rate) / (pcm.size() / 2 - from - 1);
}

std::vector<int16_t> RoundTrip(const CAudioEncodeParam& param, const std::vector<uint8_t>& input, int blockBytes,
                               int* packets) {
    auto encoder = ICodecInterface::Create(CODEC_AUDIO_ENCODE_OPUS);
    auto decoder = ICodecInterface::Create(CODEC_AUDIO_DECODE_OPUS);
    EXPECT_EQ(encoder->Init(param), 0);
    EXPECT_EQ(decoder->Init(CAudioDecodeParam{48000, 2}), 0);
    std::vector<int16_t> decoded;
    CAudioEncodeOutParam encoded;
    CAudioDecodeOutParam block;
    *packets = 0;
    for (size_t at = 0; at + blockBytes <= input.size(); at += blockBytes) {
        const int made = encoder->Encode(input.data() + at, blockBytes, encoded);
        EXPECT_GE(made, 0);
        for (const auto& packet : encoded.packets) {
            ++*packets;
            EXPECT_EQ(encoded.samplesPerPacket, 960);
            EXPECT_EQ(decoder->Decode(packet.data(), static_cast<int>(packet.size()), block), 960);
            EXPECT_EQ(block.channels, 2);
            EXPECT_EQ(block.sampleRate, 48000);
            decoded.insert(decoded.end(), block.pcm.begin(), block.pcm.end());
        }
    }
    return decoded;
}

TEST(OpusCodec, RoundTripKeepsToneAndChannels) {
    const auto tone = LeftTone(48000, 48000, 440.0, 0);
    std::vector<uint8_t> bytes(tone.size() * 2);
    std::memcpy(bytes.data(), tone.data(), bytes.size());
    CAudioEncodeParam param;  // 48 kHz stereo 16-bit, 20 ms
    int packets = 0;
    // Blocks of 1024 samples, which are no whole Opus frames: input is gathered.
    const auto decoded = RoundTrip(param, bytes, 1024 * 4, &packets);
    EXPECT_EQ(packets, 46 * 1024 / 960);
    ASSERT_GT(decoded.size(), 48000u);
    EXPECT_GT(Rms(decoded, 0, 4800), 6000);
    EXPECT_LT(Rms(decoded, 1, 4800), 1500);
    EXPECT_NEAR(Crossings(decoded, 48000, 4800) / 2, 440.0, 15.0);
}

TEST(OpusCodec, FloatInputAt44100IsResampled) {
    const auto tone = LeftTone(44100, 44100, 1000.0, 0);
    std::vector<float> floats(tone.size());
    for (size_t i = 0; i < tone.size(); ++i) floats[i] = tone[i] / 32768.0f;
    std::vector<uint8_t> bytes(floats.size() * 4);
    std::memcpy(bytes.data(), floats.data(), bytes.size());
    CAudioEncodeParam param;
    param.inputSampleRate = 44100;
    param.sampleFormat = AUDIO_SAMPLE_F32;
    int packets = 0;
    const auto decoded = RoundTrip(param, bytes, 882 * 8, &packets);  // 20 ms blocks
    EXPECT_NEAR(packets, 49, 1);
    EXPECT_GT(Rms(decoded, 0, 4800), 6000);
    EXPECT_NEAR(Crossings(decoded, 48000, 4800) / 2, 1000.0, 25.0);
}

TEST(OpusCodec, RefusesBadParametersAndInput) {
    auto encoder = ICodecInterface::Create(CODEC_AUDIO_ENCODE_OPUS);
    CAudioEncodeParam param;
    param.channels = 3;
    EXPECT_EQ(encoder->Init(param), -1);
    param.channels = 2;
    param.sampleFormat = 7;
    EXPECT_EQ(encoder->Init(param), -1);
    param.sampleFormat = AUDIO_SAMPLE_S16;
    param.frameMs = 15;
    EXPECT_EQ(encoder->Init(param), -1);
    param.frameMs = 20;
    ASSERT_EQ(encoder->Init(param), 0);
    CAudioEncodeOutParam out;
    const uint8_t odd[3] = {1, 2, 3};  // not a whole stereo sample
    EXPECT_EQ(encoder->Encode(odd, 3, out), -1);

    auto decoder = ICodecInterface::Create(CODEC_AUDIO_DECODE_OPUS);
    EXPECT_EQ(decoder->Init(CAudioDecodeParam{44100, 2}), -1);
    ASSERT_EQ(decoder->Init(CAudioDecodeParam{48000, 2}), 0);
    CAudioDecodeOutParam block;
    EXPECT_EQ(decoder->Decode(nullptr, 5, block), -1);
    // A code-3 packet announcing 63 frames with nothing behind it is invalid.
    const uint8_t broken[2] = {0xFB, 0xFF};
    EXPECT_EQ(decoder->Decode(broken, 2, block), -1);
}

}  // namespace
