#pragma once
// One libswscale pass from a picture's planes into a target image: scaled to
// the target's size and converted to its pixel format. The context is kept
// while source and target stay the same.
#include <cstdint>
#include <memory>

extern "C" {
#include <libswscale/swscale.h>
}

#include "source_picture.h"

namespace video_player {

// Where pixels go: rows of pitch bytes. The rows must be whole 64-byte blocks
// past the image's width, and 64 bytes must follow the last row, because
// libswscale writes rows in SIMD blocks.
struct TargetImage {
    uint8_t* pixels = nullptr;
    int pitch = 0;
    AVPixelFormat format = AV_PIX_FMT_NONE;
    int width = 0;
    int height = 0;
};

class ScaledWriter {
public:
    bool Write(const SourcePlanes& source, const TargetImage& target);

private:
    struct SwsFree {
        void operator()(SwsContext* context) const { sws_freeContext(context); }
    };
    std::unique_ptr<SwsContext, SwsFree> m_context;
};

// Bytes per row of an image of width pixels in format, padded to whole 64-byte
// blocks; -1 for formats without one packed plane.
int PaddedPitch(AVPixelFormat format, int width);

}  // namespace video_player
