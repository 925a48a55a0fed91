#include "source_picture.h"

#include <algorithm>

extern "C" {
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

#include "../codec/pixel_formats.h"
#include "codec/codec_interface.h"

namespace video_player {

namespace {

constexpr int kTile = 32;

// Pictures whose planes the presenters take as they are.
bool Known(AVPixelFormat format) {
    switch (format) {
        case AV_PIX_FMT_YUV420P:
        case AV_PIX_FMT_NV12:
        case AV_PIX_FMT_BGRA:
        case AV_PIX_FMT_RGBA:
        case AV_PIX_FMT_RGB24:
        case AV_PIX_FMT_YUYV422: return true;
        default: return false;
    }
}

template <typename Ptr>
bool Ensure(Ptr& frame, AVPixelFormat format, int width, int height) {
    if (frame && frame->format == format && frame->width == width && frame->height == height) return true;
    frame.reset(av_frame_alloc());
    if (!frame) return false;
    frame->format = format;
    frame->width = width;
    frame->height = height;
    return av_frame_get_buffer(frame.get(), 64) >= 0;
}

template <typename Ptr>
void Describe(const Ptr& frame, SourcePlanes* out) {
    for (int i = 0; i < 4; ++i) {
        out->planes[i] = frame->data[i];
        out->strides[i] = frame->linesize[i];
    }
    out->format = static_cast<AVPixelFormat>(frame->format);
    out->width = frame->width;
    out->height = frame->height;
}

// Turns one plane of width x height elements of type T. The loops walk the
// source in square tiles so that both sides stay in the cache.
template <typename T>
void TurnPlane(const uint8_t* src, int srcStride, int width, int height, uint8_t* dst, int dstStride, int turn) {
    const auto at = [](const uint8_t* base, int stride, int x, int y) {
        return reinterpret_cast<const T*>(base + static_cast<ptrdiff_t>(y) * stride) + x;
    };
    const auto to = [](uint8_t* base, int stride, int x, int y) {
        return reinterpret_cast<T*>(base + static_cast<ptrdiff_t>(y) * stride) + x;
    };
    if (turn == 2) {
        for (int y = 0; y < height; ++y) {
            const T* row = at(src, srcStride, 0, y);
            T* out = to(dst, dstStride, 0, height - 1 - y);
            for (int x = 0; x < width; ++x) out[width - 1 - x] = row[x];
        }
        return;
    }
    for (int ty = 0; ty < height; ty += kTile) {
        const int yEnd = std::min(ty + kTile, height);
        for (int tx = 0; tx < width; tx += kTile) {
            const int xEnd = std::min(tx + kTile, width);
            for (int y = ty; y < yEnd; ++y) {
                const T* row = at(src, srcStride, 0, y);
                for (int x = tx; x < xEnd; ++x) {
                    // A quarter counter-clockwise puts source (x, y) at (y, width-1-x),
                    // a quarter clockwise at (height-1-y, x).
                    if (turn == 1) {
                        *to(dst, dstStride, y, width - 1 - x) = row[x];
                    } else {
                        *to(dst, dstStride, height - 1 - y, x) = row[x];
                    }
                }
            }
        }
    }
}

}  // namespace

void SourcePicture::FrameFree::operator()(AVFrame* frame) const { av_frame_free(&frame); }

bool SourcePicture::Read(const codec_interface::CVideoDecodeOutParam& picture, SourcePlanes* out) {
    using namespace codec_interface;
    const AVPixelFormat format = ToAvPixelFormat(picture.pixelFormat);
    const int width = picture.sourceWidth;
    const int height = picture.sourceHeight;
    if (width <= 0 || height <= 0) return false;
    if (picture.planes[0] && Known(format)) {
        if (picture.holder) {
            // A decoder's frame: FFmpeg pads its rows and planes.
            for (int i = 0; i < 4; ++i) {
                out->planes[i] = picture.planes[i];
                out->strides[i] = picture.strides[i];
            }
            out->format = format;
            out->width = width;
            out->height = height;
            return true;
        }
        // A wrapped buffer ends where its last row ends; libswscale may read past it.
        if (!Ensure(m_copy, format, width, height)) return false;
        av_image_copy(m_copy->data, m_copy->linesize, const_cast<const uint8_t**>(picture.planes), picture.strides,
                      format, width, height);
        Describe(m_copy, out);
        return true;
    }
    // Hardware surfaces (downloaded by the codec library) and formats outside
    // the list become I420; the slack keeps SIMD reads of the last row inside.
    const int size = ICodecInterface::ImageGetBufferSize(PIXEL_FORMAT_I420, width, height);
    if (size <= 0) return false;
    m_packed.resize(static_cast<size_t>(size) + 64);
    if (ICodecInterface::ImageCopyToBuffer(m_packed.data(), size, PIXEL_FORMAT_I420, picture, width, height) != size) {
        return false;
    }
    uint8_t* planes[4] = {nullptr};
    int strides[4] = {0};
    if (av_image_fill_arrays(planes, strides, m_packed.data(), AV_PIX_FMT_YUV420P, width, height, 1) < 0) return false;
    for (int i = 0; i < 4; ++i) {
        out->planes[i] = planes[i];
        out->strides[i] = strides[i];
    }
    out->format = AV_PIX_FMT_YUV420P;
    out->width = width;
    out->height = height;
    return true;
}

bool SourcePicture::Turn(const SourcePlanes& source, int turn, SourcePlanes* out) {
    SourcePlanes planar = source;
    if (source.format != AV_PIX_FMT_YUV420P && source.format != AV_PIX_FMT_NV12 && source.format != AV_PIX_FMT_BGRA &&
        source.format != AV_PIX_FMT_RGBA) {
        if (!Ensure(m_i420, AV_PIX_FMT_YUV420P, source.width, source.height)) return false;
        SwsContext* sws = sws_getContext(source.width, source.height, source.format, source.width, source.height,
                                         AV_PIX_FMT_YUV420P, SWS_POINT, nullptr, nullptr, nullptr);
        if (!sws) return false;
        const int rows = sws_scale(sws, source.planes, source.strides, 0, source.height, m_i420->data,
                                   m_i420->linesize);
        sws_freeContext(sws);
        if (rows != source.height) return false;
        Describe(m_i420, &planar);
    }
    const bool quarter = turn % 2 != 0;
    const int width = quarter ? planar.height : planar.width;
    const int height = quarter ? planar.width : planar.height;
    if (!Ensure(m_turned, planar.format, width, height)) return false;
    const int chromaWidth = (planar.width + 1) / 2;
    const int chromaHeight = (planar.height + 1) / 2;
    uint8_t* const* dst = m_turned->data;
    const int* dstStrides = m_turned->linesize;
    switch (planar.format) {
        case AV_PIX_FMT_YUV420P:
            TurnPlane<uint8_t>(planar.planes[0], planar.strides[0], planar.width, planar.height, dst[0], dstStrides[0], turn);
            for (int i = 1; i < 3; ++i) {
                TurnPlane<uint8_t>(planar.planes[i], planar.strides[i], chromaWidth, chromaHeight, dst[i],
                                   dstStrides[i], turn);
            }
            break;
        case AV_PIX_FMT_NV12:
            TurnPlane<uint8_t>(planar.planes[0], planar.strides[0], planar.width, planar.height, dst[0], dstStrides[0], turn);
            TurnPlane<uint16_t>(planar.planes[1], planar.strides[1], chromaWidth, chromaHeight, dst[1], dstStrides[1],
                                turn);
            break;
        default:
            TurnPlane<uint32_t>(planar.planes[0], planar.strides[0], planar.width, planar.height, dst[0], dstStrides[0],
                                turn);
            break;
    }
    Describe(m_turned, out);
    return true;
}

}  // namespace video_player
