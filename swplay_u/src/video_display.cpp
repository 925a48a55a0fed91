#include "swplay_u/video_display.h"

#include <cstring>

namespace swplay_u {

int VideoDisplayWinBase::setDstFormat(int format, int width, int height, int) {
    if (format != -1 || width <= 0 || height <= 0 || width > 8192 || height > 8192) {
        return -1;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_width = width;
    m_height = height;
    m_frame.assign(static_cast<size_t>(width) * height * 4, 0);
    for (size_t i = 3; i < m_frame.size(); i += 4) m_frame[i] = 0xFF;
    return 0;
}

void VideoDisplayWinBase::setDisplaySizeListener(SWDisplaySizeListener* listener) { m_sizeListener = listener; }

const uint8_t* VideoDisplayWinBase::lockFrame(uint64_t* frameNumber) {
    m_mutex.lock();
    if (frameNumber) *frameNumber = m_frames;
    if (m_frame.empty()) {
        m_frame.assign(static_cast<size_t>(m_width) * m_height * 4, 0);
    }
    return m_frame.data();
}

void VideoDisplayWinBase::unlockFrame() { m_mutex.unlock(); }

uint64_t VideoDisplayWinBase::frameCount() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_frames;
}

void VideoDisplayWinBase::writeFrame(const uint8_t* bgra, int sw, int sh) {
    if (!bgra || sw <= 0 || sh <= 0) {
        return;
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const int W = m_width, H = m_height;
        m_frame.resize(static_cast<size_t>(W) * H * 4);
        auto* dst = reinterpret_cast<uint32_t*>(m_frame.data());
        const auto* src = reinterpret_cast<const uint32_t*>(bgra);
        if (sw == W && sh == H) {
            std::memcpy(dst, src, m_frame.size());
        } else if (sw <= sh) {  // portrait: scaled
            for (int y = 0; y < H; ++y) {
                const uint32_t* row = src + static_cast<size_t>(int64_t(y) * sh / H) * sw;
                for (int x = 0; x < W; ++x) dst[static_cast<size_t>(y) * W + x] = row[int64_t(x) * sw / W];
            }
        } else {  // landscape: turned a quarter clockwise, then scaled
            for (int y = 0; y < H; ++y) {
                const int sx = static_cast<int>(int64_t(y) * sw / H);
                for (int x = 0; x < W; ++x) {
                    const int sy = sh - 1 - static_cast<int>(int64_t(x) * sh / W);
                    dst[static_cast<size_t>(y) * W + x] = src[static_cast<size_t>(sy) * sw + sx];
                }
            }
        }
        ++m_frames;
    }
    onFrameReady();
}

}  // namespace swplay_u
