#include "codec/codec_interface.h"
#include "h264_encoder.h"
#include "opus_decoder.h"
#include "opus_encoder.h"
#include "video_decoder.h"

namespace codec_interface {

std::shared_ptr<ICodecInterface> ICodecInterface::Create(CodecType type) {
    try {
        switch (type) {
            case CODEC_VIDEO_ENCODE_H264: return std::make_shared<H264Encoder>();
            case CODEC_VIDEO_DECODE_H264:
            case CODEC_VIDEO_DECODE_H265:
            case CODEC_VIDEO_DECODE_MJPEG:
            case CODEC_VIDEO_DECODE_H264_HW:
            case CODEC_VIDEO_DECODE_H265_HW: return std::make_shared<VideoDecoder>(type);
            case CODEC_AUDIO_ENCODE_OPUS: return std::make_shared<OpusAudioEncoder>();
            case CODEC_AUDIO_DECODE_OPUS: return std::make_shared<OpusAudioDecoder>();
            default: return nullptr;
        }
    } catch (...) {
        return nullptr;
    }
}

}  // namespace codec_interface
