#pragma once
// What CVideoDecodeOutParam::holder points at: the decoded frame that owns the
// planes, and the converter of the decoder that made it.
#include <memory>
#include <mutex>

#include "av_handles.h"
#include "codec/codec_out_params.h"

namespace codec_interface {

// A libswscale context reused while source and target stay the same.
// Convert may be called from several threads; calls are serialised.
class ImageConverter {
public:
    // Scales and converts the planes into the tightly packed dst; false on
    // failure. srcPadded: the planes come from FFmpeg (rows padded for SIMD).
    bool Convert(const uint8_t* const srcPlanes[4], const int srcStrides[4], AVPixelFormat srcFormat, int srcWidth,
                 int srcHeight, uint8_t* dst, AVPixelFormat dstFormat, int dstWidth, int dstHeight, bool srcPadded);

private:
    // libswscale reads and writes rows in SIMD blocks and may run past the
    // end of a tightly packed row; planes whose rows are not whole blocks
    // go through these padded frames.
    const uint8_t* const* PaddedSource(const uint8_t* const srcPlanes[4], const int srcStrides[4],
                                       AVPixelFormat format, int width, int height, const int** strides);

    std::mutex m_mutex;
    SwsPtr m_context;
    FramePtr m_source;
    FramePtr m_target;
};

class CPictureHolder {
public:
    FramePtr frame;
    std::shared_ptr<ImageConverter> converter;
};

}  // namespace codec_interface
