#include "jpeg_encoder.h"

#include <algorithm>

#include "av_handles.h"

namespace cloudsim {

Canvas RotateCanvas(const Canvas& picture, int quarterTurns) {
    const int turns = ((quarterTurns % 4) + 4) % 4;
    if (turns == 0) return picture;
    const int w = picture.Width();
    const int h = picture.Height();
    Canvas turned(turns == 2 ? w : h, turns == 2 ? h : w);
    for (int y = 0; y < turned.Height(); ++y) {
        for (int x = 0; x < turned.Width(); ++x) {
            int sx = x;
            int sy = y;
            if (turns == 1) {  // clockwise: destination (x, y) shows source (y, h - 1 - x)
                sx = y;
                sy = h - 1 - x;
            } else if (turns == 2) {
                sx = w - 1 - x;
                sy = h - 1 - y;
            } else {
                sx = w - 1 - y;
                sy = x;
            }
            turned.Set(x, y, picture.At(sx, sy));
        }
    }
    return turned;
}

bool EncodeJpeg(const Canvas& picture, const JpegSettings& settings, std::vector<uint8_t>& out, std::string* error) {
    out.clear();
    const Canvas turned = RotateCanvas(picture, settings.quarterTurns);
    const int scale = std::clamp(settings.scalePercent, 1, 100);
    const int width = std::max(2, turned.Width() * scale / 100 / 2 * 2);
    const int height = std::max(2, turned.Height() * scale / 100 / 2 * 2);

    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_MJPEG);
    if (codec == nullptr) {
        if (error) *error = "libavcodec has no MJPEG encoder";
        return false;
    }
    CodecContextPtr context(avcodec_alloc_context3(codec));
    FramePtr frame(av_frame_alloc());
    PacketPtr packet(av_packet_alloc());
    if (!context || !frame || !packet) {
        if (error) *error = "out of memory";
        return false;
    }
    context->width = width;
    context->height = height;
    context->pix_fmt = AV_PIX_FMT_YUV420P;
    context->color_range = AVCOL_RANGE_JPEG;
    context->time_base = AVRational{1, 25};
    context->flags |= AV_CODEC_FLAG_QSCALE;
    const int quality = std::clamp(settings.quality, 1, 100);
    const int qscale = 2 + (100 - quality) * 29 / 99;
    context->global_quality = FF_QP2LAMBDA * qscale;
    int code = avcodec_open2(context.get(), codec, nullptr);
    if (code < 0) {
        if (error) *error = "avcodec_open2(mjpeg) failed: " + AvErrorText(code);
        return false;
    }
    frame->format = AV_PIX_FMT_YUV420P;
    frame->color_range = AVCOL_RANGE_JPEG;
    frame->width = width;
    frame->height = height;
    frame->quality = context->global_quality;
    frame->pict_type = AV_PICTURE_TYPE_I;
    code = av_frame_get_buffer(frame.get(), 0);
    if (code < 0) {
        if (error) *error = "av_frame_get_buffer failed: " + AvErrorText(code);
        return false;
    }
    SwsPtr scaler(sws_getContext(turned.Width(), turned.Height(), AV_PIX_FMT_BGR0, width, height,
                                 AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr, nullptr, nullptr));
    if (!scaler) {
        if (error) *error = "sws_getContext failed";
        return false;
    }
    // JPEG pictures use the full 0..255 range.
    const int* coefficients = sws_getCoefficients(SWS_CS_DEFAULT);
    sws_setColorspaceDetails(scaler.get(), coefficients, 1, coefficients, 1, 0, 1 << 16, 1 << 16);
    const uint8_t* source[1] = {reinterpret_cast<const uint8_t*>(turned.Pixels())};
    const int sourceStride[1] = {turned.Width() * 4};
    sws_scale(scaler.get(), source, sourceStride, 0, turned.Height(), frame->data, frame->linesize);
    code = avcodec_send_frame(context.get(), frame.get());
    if (code >= 0) code = avcodec_send_frame(context.get(), nullptr);
    while (code >= 0) {
        code = avcodec_receive_packet(context.get(), packet.get());
        if (code < 0) break;
        out.insert(out.end(), packet->data, packet->data + packet->size);
        av_packet_unref(packet.get());
    }
    if (code != AVERROR_EOF || out.empty()) {
        if (error) *error = "mjpeg encoding failed: " + AvErrorText(code);
        out.clear();
        return false;
    }
    return true;
}

}  // namespace cloudsim
