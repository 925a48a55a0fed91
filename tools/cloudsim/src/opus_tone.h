#pragma once
// The phone's sound: a steady 440 Hz tone, 48 kHz stereo, encoded as Opus
// packets of 20 ms. Its loudness follows the phone's volume.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct OpusEncoder;

namespace cloudsim {

class OpusTone {
public:
    static constexpr int kSampleRate = 48000;
    static constexpr int kChannels = 2;
    static constexpr int kFrameSamples = 960;  // 20 ms per channel
    static constexpr int kFrameMs = 20;

    OpusTone();
    ~OpusTone();
    OpusTone(const OpusTone&) = delete;
    OpusTone& operator=(const OpusTone&) = delete;

    bool Open(std::string* error);
    // The next 20 ms at volume 0..maxVolume (0 is silence).
    bool NextPacket(int volume, int maxVolume, std::vector<uint8_t>& out, std::string* error);

private:
    struct EncoderFree {
        void operator()(OpusEncoder* encoder) const;
    };
    std::unique_ptr<OpusEncoder, EncoderFree> m_encoder;
    double m_phase = 0.0;
};

}  // namespace cloudsim
