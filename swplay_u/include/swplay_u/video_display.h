#pragma once
// Where a player puts decoded pictures: one frame buffer in the format set
// by setDstFormat, read under lockFrame/unlockFrame. onFrameReady runs on the
// SDK's decode thread after each new picture.
#include <cstdint>
#include <mutex>
#include <vector>

#include "swplay_u/swplay_api.h"

namespace swplay_u {

// Size and rotation of the phone's screen; called on the SDK's network thread.
class SWPLAY_U_API SWDisplaySizeListener {
public:
    virtual ~SWDisplaySizeListener() = default;
    // 1 landscape, 0 portrait.
    virtual void onScreenRotation(int rotation) {}
};

class SWPLAY_U_API VideoDisplayWinBase {
public:
    virtual ~VideoDisplayWinBase() = default;

    // format -1: 32-bit RGB (B, G, R, A bytes); width x height pixels; flags reserved.
    int setDstFormat(int format, int width, int height, int flags);
    void setDisplaySizeListener(SWDisplaySizeListener* listener);
    SWDisplaySizeListener* displaySizeListener() const { return m_sizeListener; }

    // The frame buffer (width * height * 4 bytes, black until the first
    // picture); valid until unlockFrame. frameNumber (when given) receives
    // the number of the picture held (0 before the first).
    const uint8_t* lockFrame(uint64_t* frameNumber = nullptr);
    void unlockFrame();
    int frameWidth() const { return m_width; }
    int frameHeight() const { return m_height; }
    // Pictures written so far.
    uint64_t frameCount();

    // Called by the decoder: stores a picture of width x height BGRA pixels
    // (portrait pictures as they are, landscape ones turned a quarter
    // clockwise) scaled to the buffer.
    void writeFrame(const uint8_t* bgra, int width, int height);

protected:
    virtual void onFrameReady() {}

private:
    std::mutex m_mutex;
    std::vector<uint8_t> m_frame;
    int m_width = 720;
    int m_height = 1280;
    uint64_t m_frames = 0;
    SWDisplaySizeListener* m_sizeListener = nullptr;
};

}  // namespace swplay_u
