#pragma once
// Producers that need no hardware, for tests and for machines without a
// camera or microphone: a moving test picture with a clock, and a tone.
#include <cstdint>
#include <memory>
#include <vector>

#include "capture/threaded_producer.h"

namespace capture {

// The synthetic camera's picture: four coloured quadrants (top left red, top
// right green, bottom left blue, bottom right yellow) split by a dark band
// across the middle that holds the clock and a white box moving with the
// frame number. Written as tightly packed I420.
struct CAPTURE_API TestPicture {
    enum Quadrant { kTopLeft = 0, kTopRight = 1, kBottomLeft = 2, kBottomRight = 3 };
    static const uint8_t kQuadrantRgb[4][3];
    static void RenderI420(int width, int height, int64_t frameNumber, int64_t clockMs, std::vector<uint8_t>& out);
};

class CAPTURE_API CSyntheticCamera : public CThreadedProducer {
public:
    struct Options {
        // I420, NV12, YUY2 (raw) or H264 (one access unit per frame).
        emCAPTURE_TYPE type = CAPTURE_TYPE_I420;
        int width = 640;
        int height = 480;
        int fps = 30;
    };
    explicit CSyntheticCamera(Options options);
    CSyntheticCamera() : CSyntheticCamera(Options()) {}
    ~CSyntheticCamera() override;

    const Options& GetOptions() const { return m_options; }

protected:
    bool OpenDevice(std::string& error) override;
    bool CaptureNext(const std::atomic<bool>& stop) override;
    void CloseDevice() override;

private:
    struct Device;
    const Options m_options;
    std::unique_ptr<Device> m_device;  // capture thread only while it runs
};

class CAPTURE_API CSyntheticMicrophone : public CThreadedProducer {
public:
    struct Options {
        // PCM (20 ms blocks) or PCM_1024 (1024 samples per block).
        emCAPTURE_TYPE type = CAPTURE_TYPE_PCM;
        int sampleRate = 48000;
        int channels = 2;
        int sampleFormat = 1;  // 1 signed 16-bit, 2 32-bit float
        double frequency = 1000.0;
        double amplitude = 0.5;  // of full scale
    };
    explicit CSyntheticMicrophone(Options options);
    CSyntheticMicrophone() : CSyntheticMicrophone(Options()) {}
    ~CSyntheticMicrophone() override;

    const Options& GetOptions() const { return m_options; }
    // Samples per channel in one block.
    int BlockSamples() const;

protected:
    bool OpenDevice(std::string& error) override;
    bool CaptureNext(const std::atomic<bool>& stop) override;
    void CloseDevice() override;

private:
    struct Device;
    const Options m_options;
    std::unique_ptr<Device> m_device;
};

}  // namespace capture
