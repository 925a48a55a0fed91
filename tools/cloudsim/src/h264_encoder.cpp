#include "h264_encoder.h"

extern "C" {
#include <libavutil/opt.h>
}

namespace cloudsim {

bool H264Encoder::Open(const VideoSettings& settings, std::string* error) {
    Close();
    const AVCodec* codec = avcodec_find_encoder_by_name("libx264");
    if (codec == nullptr) {
        if (error) *error = "libavcodec has no libx264 encoder";
        return false;
    }
    CodecContextPtr context(avcodec_alloc_context3(codec));
    FramePtr frame(av_frame_alloc());
    PacketPtr packet(av_packet_alloc());
    if (!context || !frame || !packet) {
        if (error) *error = "out of memory";
        return false;
    }
    context->width = settings.width;
    context->height = settings.height;
    context->pix_fmt = AV_PIX_FMT_YUV420P;
    context->time_base = AVRational{1, settings.fps};
    context->framerate = AVRational{settings.fps, 1};
    context->bit_rate = static_cast<int64_t>(settings.bitrateKbps) * 1000;
    context->rc_max_rate = context->bit_rate;
    context->rc_buffer_size = static_cast<int>(context->bit_rate);
    context->gop_size = settings.fps * 2;
    context->max_b_frames = 0;
    context->thread_count = 1;
    av_opt_set(context->priv_data, "preset", "ultrafast", 0);
    av_opt_set(context->priv_data, "tune", "zerolatency", 0);
    av_opt_set(context->priv_data, "profile", "baseline", 0);
    av_opt_set_int(context->priv_data, "forced-idr", 1, 0);
    av_opt_set(context->priv_data, "x264-params", "log=0", 0);  // errors only, no banner per stream
    // Without a global header flag libx264 repeats SPS and PPS on every key frame.
    const int opened = avcodec_open2(context.get(), codec, nullptr);
    if (opened < 0) {
        if (error) *error = "avcodec_open2(libx264) failed: " + AvErrorText(opened);
        return false;
    }
    frame->format = AV_PIX_FMT_YUV420P;
    frame->width = settings.width;
    frame->height = settings.height;
    const int allocated = av_frame_get_buffer(frame.get(), 0);
    if (allocated < 0) {
        if (error) *error = "av_frame_get_buffer failed: " + AvErrorText(allocated);
        return false;
    }
    SwsPtr scaler(sws_getContext(settings.width, settings.height, AV_PIX_FMT_BGR0, settings.width, settings.height,
                                 AV_PIX_FMT_YUV420P, SWS_POINT, nullptr, nullptr, nullptr));
    if (!scaler) {
        if (error) *error = "sws_getContext failed";
        return false;
    }
    m_settings = settings;
    m_context = std::move(context);
    m_frame = std::move(frame);
    m_packet = std::move(packet);
    m_scaler = std::move(scaler);
    m_nextPts = 0;
    return true;
}

void H264Encoder::Close() {
    m_scaler.reset();
    m_packet.reset();
    m_frame.reset();
    m_context.reset();
}

bool H264Encoder::Encode(const Canvas& picture, bool forceKeyFrame, std::vector<uint8_t>& out, bool& keyFrame,
                         std::string* error) {
    out.clear();
    keyFrame = false;
    if (!m_context) {
        if (error) *error = "encoder not open";
        return false;
    }
    if (picture.Width() != m_settings.width || picture.Height() != m_settings.height) {
        if (error) *error = "picture size differs from the encoder's";
        return false;
    }
    const int writable = av_frame_make_writable(m_frame.get());
    if (writable < 0) {
        if (error) *error = "av_frame_make_writable failed: " + AvErrorText(writable);
        return false;
    }
    const uint8_t* source[1] = {reinterpret_cast<const uint8_t*>(picture.Pixels())};
    const int sourceStride[1] = {picture.Width() * 4};
    sws_scale(m_scaler.get(), source, sourceStride, 0, picture.Height(), m_frame->data, m_frame->linesize);
    m_frame->pts = m_nextPts++;
    m_frame->pict_type = forceKeyFrame ? AV_PICTURE_TYPE_I : AV_PICTURE_TYPE_NONE;
    const int sent = avcodec_send_frame(m_context.get(), m_frame.get());
    if (sent < 0) {
        if (error) *error = "avcodec_send_frame failed: " + AvErrorText(sent);
        return false;
    }
    while (true) {
        const int received = avcodec_receive_packet(m_context.get(), m_packet.get());
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) break;
        if (received < 0) {
            if (error) *error = "avcodec_receive_packet failed: " + AvErrorText(received);
            return false;
        }
        out.insert(out.end(), m_packet->data, m_packet->data + m_packet->size);
        keyFrame = keyFrame || (m_packet->flags & AV_PKT_FLAG_KEY) != 0;
        av_packet_unref(m_packet.get());
    }
    return true;
}

}  // namespace cloudsim
