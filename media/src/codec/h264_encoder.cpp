#include "h264_encoder.h"

#include <cstring>
#include <string>

extern "C" {
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
}

#include "common/qv_log.h"
#include "pixel_formats.h"

namespace codec_interface {

namespace {

// The user's chain, then the output size (even sides, as 4:2:0 needs), then I420.
std::string ChainFor(const CVideoEncodeParam& param) {
    std::string chain = param.filter[0] ? std::string(param.filter, strnlen(param.filter, sizeof(param.filter)))
                                        : std::string("null");
    if (param.outWidth > 0 && param.outHeight > 0) {
        chain += ",scale=" + std::to_string(param.outWidth & ~1) + ":" + std::to_string(param.outHeight & ~1);
    } else {
        chain += ",scale=trunc(iw/2)*2:trunc(ih/2)*2";
    }
    return chain + ",format=yuv420p";
}

}  // namespace

int H264Encoder::Init(const CVideoEncodeParam& param) {
    UnInit();
    const AVPixelFormat format = ToAvPixelFormat(param.pixelFormat);
    m_inputSize = ImageGetBufferSize(static_cast<PixelFormat>(param.pixelFormat), param.width, param.height);
    if (m_inputSize < 0 || param.fps <= 0 || param.fps > 240 || param.bitrateKbps <= 0) {
        QV_LOG(60, "[CODEC]h264 encoder: bad parameters [%d*%d format %d fps %d]", param.width, param.height,
               param.pixelFormat, param.fps);
        return -1;
    }
    const std::string chain = ChainFor(param);
    if (!m_filter.Open(param.width, param.height, format, param.fps, chain)) {
        return -1;
    }
    const int width = m_filter.OutputWidth();
    const int height = m_filter.OutputHeight();
    m_input.reset(av_frame_alloc());
    m_filtered.reset(av_frame_alloc());
    m_packet.reset(av_packet_alloc());
    if (width < 2 || height < 2 || !m_input || !m_filtered || !m_packet || !OpenEncoder(param, width, height)) {
        UnInit();
        return -1;
    }
    m_param = param;
    m_nextPts = 0;
    return 0;
}

bool H264Encoder::OpenEncoder(const CVideoEncodeParam& param, int width, int height) {
    const AVCodec* codec = avcodec_find_encoder_by_name("libx264");
    if (!codec) {
        QV_LOG(60, "[CODEC]libx264 encoder not available");
        return false;
    }
    CodecContextPtr context(avcodec_alloc_context3(codec));
    if (!context) {
        return false;
    }
    context->width = width;
    context->height = height;
    context->pix_fmt = AV_PIX_FMT_YUV420P;
    context->time_base = AVRational{1, param.fps};
    context->framerate = AVRational{param.fps, 1};
    context->bit_rate = static_cast<int64_t>(param.bitrateKbps) * 1000;
    context->rc_max_rate = context->bit_rate;
    context->rc_buffer_size = static_cast<int>(context->bit_rate);
    context->gop_size = param.keyIntervalFrames > 0 ? param.keyIntervalFrames : param.fps * 2;
    context->max_b_frames = 0;
    context->thread_count = 1;
    av_opt_set(context->priv_data, "preset", "veryfast", 0);
    av_opt_set(context->priv_data, "tune", "zerolatency", 0);
    av_opt_set(context->priv_data, "profile", "baseline", 0);
    av_opt_set(context->priv_data, "x264-params", "log=0", 0);  // errors only
    const int err = avcodec_open2(context.get(), codec, nullptr);
    if (err < 0) {
        QV_LOG(60, "[CODEC]err[%d:%s] avcodec_open2 libx264 [%d*%d]", err, AvErrorText(err).c_str(), width, height);
        return false;
    }
    m_context = std::move(context);
    return true;
}

int H264Encoder::Encode(const uint8_t* data, int length, CVideoEncodeOutParam& out) {
    out.data.clear();
    out.keyFrame = false;
    if (!m_context || !data || length < m_inputSize) {
        return -1;
    }
    try {
        // The source copies the picture, so the frame may point at the caller's bytes.
        av_frame_unref(m_input.get());
        m_input->format = ToAvPixelFormat(m_param.pixelFormat);
        m_input->width = m_param.width;
        m_input->height = m_param.height;
        m_input->pts = m_nextPts++;
        if (av_image_fill_arrays(m_input->data, m_input->linesize, data, static_cast<AVPixelFormat>(m_input->format),
                                 m_param.width, m_param.height, 1) < 0 ||
            !m_filter.Push(m_input.get())) {
            return -1;
        }
        int produced = 0;
        for (;;) {
            const int pulled = m_filter.Pull(m_filtered.get());
            if (pulled < 0) {
                return -1;
            }
            if (pulled == 0) {
                break;
            }
            const int result = EncodeFiltered(m_filtered.get(), out);
            av_frame_unref(m_filtered.get());
            if (result < 0) {
                return -1;
            }
            produced += result;
        }
        return produced > 0 ? 1 : 0;
    } catch (...) {
        return -1;
    }
}

int H264Encoder::EncodeFiltered(AVFrame* picture, CVideoEncodeOutParam& out) {
    picture->pict_type = AV_PICTURE_TYPE_NONE;
    int err = avcodec_send_frame(m_context.get(), picture);
    if (err < 0) {
        QV_LOG(60, "[CODEC]err[%d:%s] avcodec_send_frame", err, AvErrorText(err).c_str());
        return -1;
    }
    int packets = 0;
    while ((err = avcodec_receive_packet(m_context.get(), m_packet.get())) >= 0) {
        out.data.insert(out.data.end(), m_packet->data, m_packet->data + m_packet->size);
        out.keyFrame = out.keyFrame || (m_packet->flags & AV_PKT_FLAG_KEY) != 0;
        out.pts = m_packet->pts;
        av_packet_unref(m_packet.get());
        ++packets;
    }
    out.width = m_context->width;
    out.height = m_context->height;
    return err == AVERROR(EAGAIN) || err == AVERROR_EOF ? packets : -1;
}

void H264Encoder::UnInit() {
    m_context.reset();
    m_filter.Close();
    m_input.reset();
    m_filtered.reset();
    m_packet.reset();
    m_inputSize = 0;
}

}  // namespace codec_interface
