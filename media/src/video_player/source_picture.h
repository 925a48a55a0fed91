#pragma once
// The planes of a picture as the presenters read them: a format libswscale
// and SDL know, rows that may be read in SIMD blocks, and optionally turned
// by quarter turns.
#include <cstdint>
#include <memory>
#include <vector>

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/pixfmt.h>
}

#include "codec/codec_out_params.h"

namespace video_player {

struct SourcePlanes {
    const uint8_t* planes[4] = {nullptr, nullptr, nullptr, nullptr};
    int strides[4] = {0, 0, 0, 0};
    AVPixelFormat format = AV_PIX_FMT_NONE;
    int width = 0;
    int height = 0;
};

// Keeps the frames that a picture's planes are copied, downloaded or turned
// into, reused from picture to picture.
class SourcePicture {
public:
    // The picture's own planes when a decoder made them (already padded) and
    // their format is one of I420, NV12, BGRA, RGBA, RGB24, YUY2; otherwise a
    // padded copy (wrapped buffers) or an I420 conversion (hardware surfaces,
    // other formats). false when the picture cannot be read.
    bool Read(const codec_interface::CVideoDecodeOutParam& picture, SourcePlanes* out);

    // source turned by turn quarter turns counter-clockwise (1..3) into a
    // frame of this object; formats other than I420, NV12 and 32-bit RGB are
    // converted to I420 first. false on failure.
    bool Turn(const SourcePlanes& source, int turn, SourcePlanes* out);

private:
    struct FrameFree {
        void operator()(AVFrame* frame) const;
    };
    using FramePtr = std::unique_ptr<AVFrame, FrameFree>;

    FramePtr m_copy;                // padded copy of a wrapped buffer
    FramePtr m_turned;              // turned planes
    FramePtr m_i420;                // formats that cannot be turned as they are
    std::vector<uint8_t> m_packed;  // hardware surfaces and other formats, as I420
};

}  // namespace video_player
