#pragma once
// What the codec operations hand back. Out records may be reused from call to
// call; each call overwrites them.
#include <cstdint>
#include <memory>
#include <vector>

#include "codec/codec_types.h"
#include "codec/media_api.h"

namespace codec_interface {

// Keeps a decoded picture's planes alive and carries the conversion state of
// the decoder that made it. Opaque outside the codec library.
class CPictureHolder;

// One decoded picture. The planes stay valid as long as this record (or a
// copy of it) holds them, also across later Decode calls.
class MEDIA_API CVideoDecodeOutParam {
public:
    // The size the picture is handed out at: the decoder's output size when
    // one is set (SetOutputSize), else the decoded size. ImageCopyToBuffer
    // scales to it.
    int32_t width = 0;
    int32_t height = 0;
    // Format and size of the planes themselves (the decoded picture).
    int32_t pixelFormat = PIXEL_FORMAT_UNKNOWN;
    int32_t sourceWidth = 0;
    int32_t sourceHeight = 0;
    const uint8_t* planes[4] = {nullptr, nullptr, nullptr, nullptr};
    int32_t strides[4] = {0, 0, 0, 0};
    int64_t frameIndex = 0;  // counts the pictures of one decoder from 1
    std::shared_ptr<const CPictureHolder> holder;

    void Reset() { *this = CVideoDecodeOutParam(); }
};

// One decoded audio block: interleaved signed 16-bit PCM.
class MEDIA_API CAudioDecodeOutParam {
public:
    int32_t sampleRate = 0;
    int32_t channels = 0;
    int32_t samples = 0;  // per channel
    std::vector<int16_t> pcm;

    const uint8_t* Data() const { return reinterpret_cast<const uint8_t*>(pcm.data()); }
    int32_t Bytes() const { return static_cast<int32_t>(pcm.size() * sizeof(int16_t)); }
};

// One encoded picture: an H.264 access unit in Annex B form; key frames carry
// their SPS and PPS in front.
class MEDIA_API CVideoEncodeOutParam {
public:
    std::vector<uint8_t> data;
    bool keyFrame = false;
    int32_t width = 0;
    int32_t height = 0;
    int64_t pts = 0;  // picture number from 0
};

// The Opus packets one Encode call completed (possibly none: input is
// gathered until a whole frame is there).
class MEDIA_API CAudioEncodeOutParam {
public:
    std::vector<std::vector<uint8_t>> packets;
    int32_t sampleRate = 0;
    int32_t channels = 0;
    int32_t samplesPerPacket = 0;  // per channel
};

// The fields of an H.264 sequence parameter set the pipeline uses; width and
// height already have the frame cropping applied.
struct h264_sps_data {
    int32_t profileIdc = 0;
    int32_t levelIdc = 0;
    int32_t spsId = 0;
    int32_t chromaFormatIdc = 1;
    int32_t bitDepthLuma = 8;
    bool frameMbsOnly = true;
    int32_t codedWidth = 0;   // whole macroblocks
    int32_t codedHeight = 0;
    int32_t cropLeft = 0;     // in pixels
    int32_t cropRight = 0;
    int32_t cropTop = 0;
    int32_t cropBottom = 0;
    int32_t width = 0;
    int32_t height = 0;
};

}  // namespace codec_interface
