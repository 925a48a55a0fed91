#include "test_pictures.h"

#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/opt.h>
}

namespace mediatest {

using namespace codec_interface;

std::vector<uint8_t> TwoHalvesI420(int width, int height, Yuv left, Yuv right) {
    std::vector<uint8_t> image(static_cast<size_t>(ICodecInterface::ImageGetBufferSize(PIXEL_FORMAT_I420, width, height)));
    const int cw = (width + 1) / 2;
    const int ch = (height + 1) / 2;
    uint8_t* y = image.data();
    uint8_t* u = y + width * height;
    uint8_t* v = u + cw * ch;
    for (int row = 0; row < height; ++row) {
        for (int col = 0; col < width; ++col) {
            y[row * width + col] = col < width / 2 ? left.y : right.y;
        }
    }
    for (int row = 0; row < ch; ++row) {
        for (int col = 0; col < cw; ++col) {
            const bool isLeft = col * 2 < width / 2;
            u[row * cw + col] = isLeft ? left.u : right.u;
            v[row * cw + col] = isLeft ? left.v : right.v;
        }
    }
    return image;
}

std::vector<std::vector<uint8_t>> EncodeH264(int width, int height, int count, Yuv left, Yuv right,
                                             const char* filter) {
    std::vector<std::vector<uint8_t>> units;
    auto encoder = ICodecInterface::Create(CODEC_VIDEO_ENCODE_H264);
    CVideoEncodeParam param;
    param.width = width;
    param.height = height;
    param.pixelFormat = PIXEL_FORMAT_I420;
    param.fps = 30;
    param.bitrateKbps = 4000;
    std::strncpy(param.filter, filter, sizeof(param.filter) - 1);
    if (!encoder || encoder->Init(param) != 0) {
        return units;
    }
    const std::vector<uint8_t> picture = TwoHalvesI420(width, height, left, right);
    CVideoEncodeOutParam out;
    for (int i = 0; i < count; ++i) {
        if (encoder->Encode(picture.data(), static_cast<int>(picture.size()), out) == 1) {
            units.push_back(out.data);
        }
    }
    return units;
}

std::vector<std::vector<uint8_t>> EncodeWith(const char* name, int width, int height, int count, Yuv left,
                                             Yuv right,
                                             const std::vector<std::pair<std::string, std::string>>& options) {
    std::vector<std::vector<uint8_t>> units;
    const AVCodec* codec = avcodec_find_encoder_by_name(name);
    if (!codec) return units;
    AVCodecContext* ctx = avcodec_alloc_context3(codec);
    ctx->width = width;
    ctx->height = height;
    ctx->pix_fmt = AV_PIX_FMT_YUV420P;
    ctx->time_base = AVRational{1, 30};
    ctx->max_b_frames = 0;
    ctx->thread_count = 1;
    for (const auto& option : options) {
        av_opt_set(ctx->priv_data, option.first.c_str(), option.second.c_str(), 0);
    }
    if (avcodec_open2(ctx, codec, nullptr) < 0) {
        avcodec_free_context(&ctx);
        return units;
    }
    const auto picture = TwoHalvesI420(width, height, left, right);
    CVideoDecodeOutParam wrapped;
    ICodecInterface::ImageWrapBuffer(picture.data(), static_cast<int>(picture.size()), PIXEL_FORMAT_I420, width,
                                     height, wrapped);
    AVFrame* frame = av_frame_alloc();
    AVPacket* packet = av_packet_alloc();
    for (int i = 0; i < count; ++i) {
        frame->format = AV_PIX_FMT_YUV420P;
        frame->width = width;
        frame->height = height;
        av_frame_get_buffer(frame, 0);
        for (int p = 0; p < 3; ++p) {
            const int rows = p == 0 ? height : (height + 1) / 2;
            const int bytes = p == 0 ? width : (width + 1) / 2;
            for (int r = 0; r < rows; ++r) {
                std::memcpy(frame->data[p] + r * frame->linesize[p], wrapped.planes[p] + r * wrapped.strides[p],
                            static_cast<size_t>(bytes));
            }
        }
        frame->pts = i;
        avcodec_send_frame(ctx, frame);
        av_frame_unref(frame);
        while (avcodec_receive_packet(ctx, packet) == 0) {
            units.emplace_back(packet->data, packet->data + packet->size);
            av_packet_unref(packet);
        }
    }
    avcodec_send_frame(ctx, nullptr);  // drain what the encoder still holds
    while (avcodec_receive_packet(ctx, packet) == 0) {
        units.emplace_back(packet->data, packet->data + packet->size);
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
    av_frame_free(&frame);
    avcodec_free_context(&ctx);
    return units;
}

double MeanChannel(const std::vector<uint8_t>& bgra, int width, int x0, int y0, int x1, int y1, int channel) {
    double sum = 0;
    int n = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            sum += bgra[(static_cast<size_t>(y) * width + x) * 4 + channel];
            ++n;
        }
    }
    return n ? sum / n : 0;
}

}  // namespace mediatest
