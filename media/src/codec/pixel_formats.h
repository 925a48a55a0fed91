#pragma once
// Mapping between the codec library's PixelFormat values and FFmpeg's.
extern "C" {
#include <libavutil/pixfmt.h>
}

#include "codec/codec_types.h"

namespace codec_interface {

// AV_PIX_FMT_NONE for UNKNOWN and out-of-range values.
AVPixelFormat ToAvPixelFormat(int format);

// PIXEL_FORMAT_UNKNOWN for FFmpeg formats outside the list.
PixelFormat FromAvPixelFormat(int format);

}  // namespace codec_interface
