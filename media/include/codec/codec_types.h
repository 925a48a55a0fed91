#pragma once
// Numeric codec kinds and pixel formats of the codec library, and the
// parameter records of the codec initialisations.
#include <cstdint>

namespace codec_interface {

// What ICodecInterface::Create makes. Decoders, encoders and the hardware
// probe each have their own value; the values are stable.
enum CodecType : int32_t {
    CODEC_VIDEO_ENCODE_H264 = 0,     // camera uplink encoder (libx264), with a libavfilter chain
    CODEC_VIDEO_DECODE_H264 = 1,     // software H.264
    CODEC_VIDEO_DECODE_H265 = 2,     // software H.265
    CODEC_VIDEO_DECODE_MJPEG = 3,    // capture decoder of compressed (MJPEG) camera frames
    // Hardware decoders output PIXEL_FORMAT_HW_SURFACE pictures; their Init
    // fails where no VAAPI device opens, and decoding fails (no software
    // fallback inside) where the device cannot decode the stream.
    CODEC_VIDEO_DECODE_H264_HW = 6,  // H.264 through VAAPI; also the hardware probe
    CODEC_VIDEO_DECODE_H265_HW = 7,  // H.265 through VAAPI
    CODEC_AUDIO_ENCODE_OPUS = 15,    // microphone uplink encoder
    CODEC_AUDIO_DECODE_OPUS = 16,    // stream audio decoder
};

// Layout of a picture. Buffers are tightly packed (no row padding), planes
// one after the other.
enum PixelFormat : int32_t {
    PIXEL_FORMAT_UNKNOWN = 0,     // a decoder format outside this list; still copyable
    PIXEL_FORMAT_RGB24 = 1,       // bytes R, G, B
    PIXEL_FORMAT_I420 = 2,        // planar Y, U, V 4:2:0; software decoder output, render format 2
    PIXEL_FORMAT_YUY2 = 3,        // packed Y0 U Y1 V 4:2:2 (cameras)
    // Bytes B, G, R, A (A = 255): one 32-bit ARGB word per pixel on a little-endian
    // host, which is what Qt's QImage::Format_RGB32/ARGB32 and SDL's ARGB8888
    // textures hold, so an application can show out-mode frames without converting.
    PIXEL_FORMAT_BGRA = 4,        // default out-mode format
    PIXEL_FORMAT_NV12 = 5,        // Y plane, interleaved UV; hardware frames after download, render format 5
    PIXEL_FORMAT_RGBA = 6,        // bytes R, G, B, A
    PIXEL_FORMAT_HW_SURFACE = 7,  // a VAAPI surface: the hardware decoder's output
};

// Sample layout of PCM handed to the audio encoder.
enum AudioSampleFormat : int32_t {
    AUDIO_SAMPLE_S16 = 1,  // signed 16-bit, interleaved
    AUDIO_SAMPLE_F32 = 2,  // 32-bit float in [-1, 1], interleaved (desktop capture's native format)
};

// Stream parameters of a video decoder. The size is the play result's and
// only a hint: the stream's own sequence parameter sets decide.
struct CVideoDecodeParam {
    int32_t width = 0;
    int32_t height = 0;
    int32_t fps = 0;
    int32_t bitrate = 0;
};

// The Opus decoder outputs this rate and channel count (1 or 2).
struct CAudioDecodeParam {
    int32_t sampleRate = 48000;  // 8000, 12000, 16000, 24000 or 48000
    int32_t channels = 2;
};

// The H.264 encoder takes pictures of width x height in pixelFormat, runs them
// through filter (a libavfilter chain such as "transpose=2,crop=640:360:0:60";
// empty: none) and encodes the result, scaled to outWidth x outHeight when
// those are set (0: the filter's output size).
struct CVideoEncodeParam {
    int32_t width = 0;
    int32_t height = 0;
    int32_t pixelFormat = PIXEL_FORMAT_I420;
    int32_t outWidth = 0;
    int32_t outHeight = 0;
    int32_t fps = 30;
    int32_t bitrateKbps = 1024;
    int32_t keyIntervalFrames = 0;  // 0: two seconds
    char filter[256] = {0};
};

// The Opus encoder takes interleaved PCM at inputSampleRate (any rate from
// 8000 to 192000; resampled when it differs from outputSampleRate) and emits
// one packet per frameMs of sound.
struct CAudioEncodeParam {
    int32_t inputSampleRate = 48000;
    int32_t channels = 2;                       // 1 or 2, kept in the output
    int32_t sampleFormat = AUDIO_SAMPLE_S16;    // AudioSampleFormat
    int32_t outputSampleRate = 48000;           // 8000, 12000, 16000, 24000 or 48000
    int32_t bitrate = 64000;                    // bit/s
    int32_t frameMs = 20;                       // 10, 20, 40 or 60
};

}  // namespace codec_interface
