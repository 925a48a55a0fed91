#pragma once
// Sample-rate conversion by linear interpolation, for microphone input at
// rates Opus does not code at (44.1 kHz and the like). Keeps its position
// across calls so that block borders leave no seam.
#include <vector>

namespace codec_interface {

class LinearResampler {
public:
    void Reset(int inputRate, int outputRate, int channels);
    // Appends the converted form of the interleaved input to out.
    void Process(const float* input, int frames, std::vector<float>& out);

private:
    double m_step = 1.0;  // input frames per output frame
    double m_position = 0.0;
    int m_channels = 1;
    std::vector<float> m_history;  // input not yet passed
};

}  // namespace codec_interface
