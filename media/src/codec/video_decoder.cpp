#include "video_decoder.h"

#include <cstring>

extern "C" {
#include <libavutil/hwcontext.h>
}

#include "common/qv_log.h"
#include "pixel_formats.h"

namespace codec_interface {

namespace {

AVCodecID CodecIdOf(CodecType type) {
    switch (type) {
        case CODEC_VIDEO_DECODE_H264:
        case CODEC_VIDEO_DECODE_H264_HW: return AV_CODEC_ID_H264;
        case CODEC_VIDEO_DECODE_H265:
        case CODEC_VIDEO_DECODE_H265_HW: return AV_CODEC_ID_HEVC;
        case CODEC_VIDEO_DECODE_MJPEG: return AV_CODEC_ID_MJPEG;
        default: return AV_CODEC_ID_NONE;
    }
}

// Hardware decoders accept only VAAPI surfaces; no silent software fallback,
// so that the probe sees what the device really does.
AVPixelFormat PickVaapi(AVCodecContext*, const AVPixelFormat* offered) {
    for (const AVPixelFormat* f = offered; *f != AV_PIX_FMT_NONE; ++f) {
        if (*f == AV_PIX_FMT_VAAPI) {
            return *f;
        }
    }
    return AV_PIX_FMT_NONE;
}

}  // namespace

VideoDecoder::VideoDecoder(CodecType type) : m_type(type) {}

VideoDecoder::~VideoDecoder() { UnInit(); }

bool VideoDecoder::Hardware() const {
    return m_type == CODEC_VIDEO_DECODE_H264_HW || m_type == CODEC_VIDEO_DECODE_H265_HW;
}

bool VideoDecoder::OpenHardwareDevice() {
    AVBufferRef* device = nullptr;
    const int err = av_hwdevice_ctx_create(&device, AV_HWDEVICE_TYPE_VAAPI, nullptr, nullptr, 0);
    if (err < 0) {
        QV_LOG(40, "[CODEC]err[%d:%s] av_hwdevice_ctx_create vaapi", err, AvErrorText(err).c_str());
        return false;
    }
    m_hwDevice.reset(device);
    return true;
}

int VideoDecoder::Init(const CVideoDecodeParam& param) {
    UnInit();
    const AVCodec* codec = avcodec_find_decoder(CodecIdOf(m_type));
    if (!codec) {
        QV_LOG(60, "[CODEC]no decoder for codec type[%d]", m_type);
        return -1;
    }
    if (Hardware() && !OpenHardwareDevice()) {
        return -1;
    }
    CodecContextPtr context(avcodec_alloc_context3(codec));
    PacketPtr packet(av_packet_alloc());
    if (!context || !packet) {
        UnInit();
        return -1;
    }
    context->flags |= AV_CODEC_FLAG_LOW_DELAY;
    context->thread_count = 1;
    context->thread_type = 0;
    if (param.width > 0 && param.height > 0) {
        context->width = param.width;
        context->height = param.height;
    }
    if (Hardware()) {
        context->hw_device_ctx = av_buffer_ref(m_hwDevice.get());
        context->get_format = PickVaapi;
    }
    const int err = avcodec_open2(context.get(), codec, nullptr);
    if (err < 0) {
        QV_LOG(60, "[CODEC]err[%d:%s] avcodec_open2 codec type[%d]", err, AvErrorText(err).c_str(), m_type);
        UnInit();
        return -1;
    }
    m_context = std::move(context);
    m_packet = std::move(packet);
    m_converter = std::make_shared<ImageConverter>();
    m_pictures = 0;
    return 0;
}

int VideoDecoder::Decode(const uint8_t* data, int length, CVideoDecodeOutParam& out) {
    if (!m_context || !data || length <= 0) {
        return -1;
    }
    try {
        // The packet's own buffer carries the zero padding the parsers need;
        // network frames have none.
        if (av_new_packet(m_packet.get(), length) < 0) {
            return -1;
        }
        std::memcpy(m_packet->data, data, static_cast<size_t>(length));
        int err = avcodec_send_packet(m_context.get(), m_packet.get());
        if (err == AVERROR(EAGAIN)) {
            // A picture is still waiting: hand it out, the packet goes next time.
            const int result = ReceivePicture(out);
            err = avcodec_send_packet(m_context.get(), m_packet.get());
            av_packet_unref(m_packet.get());
            return err < 0 && err != AVERROR(EAGAIN) ? -1 : result;
        }
        av_packet_unref(m_packet.get());
        if (err < 0) {
            QV_LOG(0, "[CODEC]err[%d:%s] avcodec_send_packet", err, AvErrorText(err).c_str());
            return -1;
        }
        return ReceivePicture(out);
    } catch (...) {
        return -1;
    }
}

int VideoDecoder::ReceivePicture(CVideoDecodeOutParam& out) {
    FramePtr frame(av_frame_alloc());
    if (!frame) {
        return -1;
    }
    const int err = avcodec_receive_frame(m_context.get(), frame.get());
    if (err == AVERROR(EAGAIN) || err == AVERROR_EOF) {
        return 0;
    }
    if (err < 0) {
        QV_LOG(0, "[CODEC]err[%d:%s] avcodec_receive_frame", err, AvErrorText(err).c_str());
        return -1;
    }
    if (frame->width <= 0 || frame->height <= 0) {
        return 0;
    }
    auto holder = std::make_shared<CPictureHolder>();
    out.Reset();
    out.sourceWidth = frame->width;
    out.sourceHeight = frame->height;
    out.width = m_outWidth > 0 ? m_outWidth : frame->width;
    out.height = m_outHeight > 0 ? m_outHeight : frame->height;
    out.pixelFormat = FromAvPixelFormat(frame->format);
    if (frame->format != AV_PIX_FMT_VAAPI) {
        for (int i = 0; i < 4; ++i) {
            out.planes[i] = frame->data[i];
            out.strides[i] = frame->linesize[i];
        }
    }
    out.frameIndex = ++m_pictures;
    holder->frame = std::move(frame);
    holder->converter = m_converter;
    out.holder = std::move(holder);
    return 1;
}

int VideoDecoder::SetOutputSize(int width, int height) {
    if (width == 0 && height == 0) {
        m_outWidth = m_outHeight = 0;
        return 0;
    }
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384) {
        return -1;
    }
    m_outWidth = width;
    m_outHeight = height;
    return 0;
}

void VideoDecoder::UnInit() {
    m_context.reset();
    m_packet.reset();
    m_hwDevice.reset();
    m_converter.reset();
}

}  // namespace codec_interface
