#pragma once
// The codec library: FFmpeg and libopus behind one small interface.
//
// Every decoder is set for low delay: one complete frame (access unit) per
// Decode call, no frame threading, no parser, one picture out per picture in.
// A codec object is used from one thread at a time; different objects may be
// used on different threads. Nothing throws: failures return -1 (and are
// logged with the "[CODEC]" prefix).
#include <cstdint>
#include <memory>
#include <vector>

#include "codec/codec_out_params.h"
#include "codec/codec_types.h"
#include "codec/media_api.h"

namespace codec_interface {

class MEDIA_API ICodecInterface {
public:
    // A new, uninitialised codec of this kind; nullptr for an unknown type.
    static std::shared_ptr<ICodecInterface> Create(CodecType type);

    // Bytes of a tightly packed picture; -1 for a non-positive size or a format
    // without a memory layout (UNKNOWN, HW_SURFACE).
    static int ImageGetBufferSize(PixelFormat format, int width, int height);

    // Converts picture into buffer as a tightly packed image in format, scaled
    // to width x height (0, 0: the picture's width and height). Returns the
    // bytes written (equal to ImageGetBufferSize), or -1 when the buffer is
    // too small, the picture has no planes or the conversion fails. Hardware
    // surfaces are downloaded first.
    static int ImageCopyToBuffer(uint8_t* buffer, int size, PixelFormat format, const CVideoDecodeOutParam& picture,
                                 int width = 0, int height = 0);

    // Describes a tightly packed image (for example a raw camera frame) as a
    // picture that ImageCopyToBuffer and the video player accept. The record
    // points into data, which must outlive it. -1 when size is too small.
    static int ImageWrapBuffer(const uint8_t* data, int size, PixelFormat format, int width, int height,
                               CVideoDecodeOutParam& picture);

    // Parses an H.264 sequence parameter set: data starts with the NAL header
    // byte (type 7), optionally preceded by a 3- or 4-byte start code, and may
    // run on into further NAL units. False for anything that is not a complete,
    // sane SPS; never reads outside [data, data + length).
    static bool H264DecodeSeqParameterSet(const uint8_t* data, int length, h264_sps_data& sps);

    // Scans an Annex B access unit for its first SPS and parses it. offset
    // (when not null) receives the position of the SPS's start code.
    static bool H264FindSeqParameterSet(const uint8_t* data, int length, h264_sps_data& sps, int* offset = nullptr);

    // A small built-in H.264 key frame (64 x 64, Annex B with SPS and PPS) for
    // the hardware-decode probe.
    static std::vector<uint8_t> HardwareProbeStream();

    virtual CodecType GetType() const = 0;

    // Initialisation of the codec kind at hand (0 success, -1 failure; the
    // other kinds' forms return -1). A second Init reinitialises.
    virtual int Init(const CVideoDecodeParam& param) { return -1; }
    virtual int Init(const CAudioDecodeParam& param) { return -1; }
    virtual int Init(const CVideoEncodeParam& param) { return -1; }
    virtual int Init(const CAudioEncodeParam& param) { return -1; }

    // Video: decodes one complete frame; 1 with a picture in out, 0 when the
    // frame held no picture (parameter sets only), -1 on failure.
    virtual int Decode(const uint8_t* data, int length, CVideoDecodeOutParam& out) { return -1; }
    // Audio: decodes one Opus packet; the samples per channel (> 0), or -1.
    virtual int Decode(const uint8_t* data, int length, CAudioDecodeOutParam& out) { return -1; }

    // Video: encodes one picture of the initialised size and format (length at
    // least its ImageGetBufferSize); 1 with an access unit in out, 0 when the
    // encoder held it back, -1 on failure.
    virtual int Encode(const uint8_t* data, int length, CVideoEncodeOutParam& out) { return -1; }
    // Audio: takes interleaved PCM (whole samples of all channels); returns the
    // number of packets completed (0 or more) in out, or -1.
    virtual int Encode(const uint8_t* data, int length, CAudioEncodeOutParam& out) { return -1; }

    // Video decoders: the size pictures are handed out at from now on (both
    // positive), or (0, 0) for the decoded size. -1 for anything else.
    virtual int SetOutputSize(int width, int height) { return -1; }

    // Frees the library state; Init may follow.
    virtual void UnInit() = 0;

    virtual ~ICodecInterface() = default;
};

}  // namespace codec_interface
