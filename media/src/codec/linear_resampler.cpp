#include "linear_resampler.h"

#include <cmath>

namespace codec_interface {

void LinearResampler::Reset(int inputRate, int outputRate, int channels) {
    m_step = static_cast<double>(inputRate) / outputRate;
    m_position = 0.0;
    m_channels = channels;
    m_history.clear();
}

void LinearResampler::Process(const float* input, int frames, std::vector<float>& out) {
    m_history.insert(m_history.end(), input, input + static_cast<size_t>(frames) * m_channels);
    const size_t available = m_history.size() / m_channels;
    while (m_position + 1.0 < static_cast<double>(available)) {
        const size_t index = static_cast<size_t>(m_position);
        const float fraction = static_cast<float>(m_position - static_cast<double>(index));
        const float* a = &m_history[index * m_channels];
        const float* b = a + m_channels;
        for (int c = 0; c < m_channels; ++c) {
            out.push_back(a[c] + (b[c] - a[c]) * fraction);
        }
        m_position += m_step;
    }
    const size_t consumed = static_cast<size_t>(m_position);
    m_history.erase(m_history.begin(), m_history.begin() + static_cast<long>(consumed * m_channels));
    m_position -= static_cast<double>(consumed);
}

}  // namespace codec_interface
