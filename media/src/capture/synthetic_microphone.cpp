#include <cmath>
#include <cstring>

#include "capture/synthetic_producers.h"
#include "frame_pacer.h"

namespace capture {

namespace {
constexpr double kTwoPi = 6.283185307179586;
}  // namespace

struct CSyntheticMicrophone::Device {
    explicit Device(std::chrono::microseconds period) : pacer(period) {}
    FramePacer pacer;
    double phase = 0.0;  // of the tone, in cycles
    std::vector<uint8_t> block;
};

CSyntheticMicrophone::CSyntheticMicrophone(Options options)
    : CThreadedProducer(options.type), m_options(options) {}

CSyntheticMicrophone::~CSyntheticMicrophone() { Shutdown(); }

int CSyntheticMicrophone::BlockSamples() const {
    return m_options.type == CAPTURE_TYPE_PCM_1024 ? 1024 : m_options.sampleRate / 50;
}

bool CSyntheticMicrophone::OpenDevice(std::string& error) {
    const Options& o = m_options;
    if (!IsMicrophoneType(o.type) || o.sampleRate < 8000 || o.sampleRate > 192000 || o.channels < 1 ||
        o.channels > 2 || (o.sampleFormat != 1 && o.sampleFormat != 2) || o.frequency <= 0 ||
        o.frequency >= o.sampleRate / 2.0) {
        error = "the synthetic microphone's format is out of range";
        return false;
    }
    const auto period = std::chrono::microseconds(static_cast<int64_t>(BlockSamples()) * 1000000 / o.sampleRate);
    m_device = std::make_unique<Device>(period);
    return true;
}

bool CSyntheticMicrophone::CaptureNext(const std::atomic<bool>& stop) {
    Device& d = *m_device;
    if (!d.pacer.Wait(stop)) return true;
    const Options& o = m_options;
    const int samples = BlockSamples();
    const int sampleBytes = o.sampleFormat == 1 ? 2 : 4;
    d.block.resize(static_cast<size_t>(samples) * o.channels * sampleBytes);
    const double step = o.frequency / o.sampleRate;
    uint8_t* out = d.block.data();
    for (int i = 0; i < samples; ++i) {
        const double value = o.amplitude * std::sin(kTwoPi * d.phase);
        d.phase += step;
        if (d.phase >= 1.0) d.phase -= 1.0;
        for (int c = 0; c < o.channels; ++c) {
            if (o.sampleFormat == 1) {
                const int16_t s = static_cast<int16_t>(std::lround(value * 32767.0));
                std::memcpy(out, &s, 2);
            } else {
                const float f = static_cast<float>(value);
                std::memcpy(out, &f, 4);
            }
            out += sampleBytes;
        }
    }
    CaptureFrame frame;
    frame.type = o.type;
    frame.data = d.block.data();
    frame.length = static_cast<int32_t>(d.block.size());
    frame.sampleRate = o.sampleRate;
    frame.channels = o.channels;
    frame.sampleFormat = o.sampleFormat;
    frame.samples = samples;
    Deliver(frame);
    return true;
}

void CSyntheticMicrophone::CloseDevice() { m_device.reset(); }

}  // namespace capture
