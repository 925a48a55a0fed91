#include "picture_decoder.h"

#include <algorithm>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
}

namespace cloudsim_test {

struct VideoDecoder::Impl {
    AVCodecContext* context = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
};

VideoDecoder::VideoDecoder(const char* codecName) : m_impl(std::make_unique<Impl>()) {
    const AVCodec* codec = avcodec_find_decoder_by_name(codecName);
    if (codec == nullptr) return;
    m_impl->context = avcodec_alloc_context3(codec);
    m_impl->context->thread_count = 1;
    if (avcodec_open2(m_impl->context, codec, nullptr) < 0) avcodec_free_context(&m_impl->context);
    m_impl->frame = av_frame_alloc();
    m_impl->packet = av_packet_alloc();
}

VideoDecoder::~VideoDecoder() {
    av_packet_free(&m_impl->packet);
    av_frame_free(&m_impl->frame);
    avcodec_free_context(&m_impl->context);
}

bool VideoDecoder::Decode(const uint8_t* data, size_t size, std::vector<Picture>& out) {
    if (m_impl->context == nullptr) return false;
    m_impl->packet->data = const_cast<uint8_t*>(data);
    m_impl->packet->size = static_cast<int>(size);
    if (avcodec_send_packet(m_impl->context, m_impl->packet) < 0) return false;
    while (avcodec_receive_frame(m_impl->context, m_impl->frame) == 0) {
        const AVFrame* f = m_impl->frame;
        Picture picture;
        picture.width = f->width;
        picture.height = f->height;
        const int cw = f->width / 2;
        const int ch = f->height / 2;
        picture.y.resize(static_cast<size_t>(f->width) * f->height);
        picture.u.resize(static_cast<size_t>(cw) * ch);
        picture.v.resize(static_cast<size_t>(cw) * ch);
        for (int row = 0; row < f->height; ++row) {
            std::copy_n(f->data[0] + row * f->linesize[0], f->width, &picture.y[static_cast<size_t>(row) * f->width]);
        }
        for (int row = 0; row < ch; ++row) {
            std::copy_n(f->data[1] + row * f->linesize[1], cw, &picture.u[static_cast<size_t>(row) * cw]);
            std::copy_n(f->data[2] + row * f->linesize[2], cw, &picture.v[static_cast<size_t>(row) * cw]);
        }
        out.push_back(std::move(picture));
        av_frame_unref(m_impl->frame);
    }
    return true;
}

bool DecodeJpeg(const std::string& bytes, Picture& out) {
    VideoDecoder decoder("mjpeg");
    std::vector<Picture> pictures;
    if (!decoder.Decode(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), pictures)) return false;
    if (pictures.empty()) decoder.Decode(nullptr, 0, pictures);
    if (pictures.empty()) return false;
    out = std::move(pictures.front());
    return true;
}

bool MarkerAt(const Picture& picture, int x, int y) {
    if (x < 0 || y < 0 || x >= picture.width || y >= picture.height) return false;
    const size_t chroma = static_cast<size_t>(y / 2) * (picture.width / 2) + x / 2;
    const int luma = picture.y[static_cast<size_t>(y) * picture.width + x];
    // Red is low-ish luma, Cb below the middle and Cr far above it.
    return picture.v[chroma] > 200 && picture.u[chroma] < 128 && luma > 40 && luma < 130;
}

bool HasNal(const uint8_t* data, size_t size, int nalType) {
    for (size_t i = 0; i + 3 < size; ++i) {
        if (data[i] == 0 && data[i + 1] == 0 && data[i + 2] == 1 && (data[i + 3] & 0x1F) == nalType) return true;
    }
    return false;
}

}  // namespace cloudsim_test
