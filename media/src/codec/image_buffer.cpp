// Picture sizes, wrapping and conversion (ImageGetBufferSize,
// ImageWrapBuffer, ImageCopyToBuffer).
#include <cstring>

extern "C" {
#include <libavutil/hwcontext.h>
#include <libavutil/imgutils.h>
}

#include "codec/codec_interface.h"
#include "common/qv_log.h"
#include "picture_holder.h"
#include "pixel_formats.h"

namespace codec_interface {

namespace {

constexpr int kMaxSide = 16384;

int PackedSize(AVPixelFormat format, int width, int height) {
    if (format == AV_PIX_FMT_NONE || format == AV_PIX_FMT_VAAPI || width <= 0 || height <= 0 || width > kMaxSide ||
        height > kMaxSide) {
        return -1;
    }
    const int size = av_image_get_buffer_size(format, width, height, 1);
    return size > 0 ? size : -1;
}

// True when every plane's rows are whole 64-byte blocks, which libswscale
// may read and write without running past them.
bool BlockAligned(const int strides[4], AVPixelFormat format, int width) {
    int lineSizes[4] = {0};
    if (av_image_fill_linesizes(lineSizes, format, width) < 0) {
        return false;
    }
    for (int i = 0; i < 4; ++i) {
        if (lineSizes[i] % 64 != 0 || strides[i] % 64 != 0) {
            return false;
        }
    }
    return true;
}

bool EnsureFrame(FramePtr& frame, AVPixelFormat format, int width, int height) {
    if (frame && frame->format == format && frame->width == width && frame->height == height) {
        return true;
    }
    frame.reset(av_frame_alloc());
    if (!frame) {
        return false;
    }
    frame->format = format;
    frame->width = width;
    frame->height = height;
    return av_frame_get_buffer(frame.get(), 64) >= 0;
}

}  // namespace

const uint8_t* const* ImageConverter::PaddedSource(const uint8_t* const srcPlanes[4], const int srcStrides[4],
                                                   AVPixelFormat format, int width, int height, const int** strides) {
    if (!EnsureFrame(m_source, format, width, height)) {
        return nullptr;
    }
    av_image_copy(m_source->data, m_source->linesize, const_cast<const uint8_t**>(srcPlanes), srcStrides, format,
                  width, height);
    *strides = m_source->linesize;
    return m_source->data;
}

bool ImageConverter::Convert(const uint8_t* const srcPlanes[4], const int srcStrides[4], AVPixelFormat srcFormat,
                             int srcWidth, int srcHeight, uint8_t* dst, AVPixelFormat dstFormat, int dstWidth,
                             int dstHeight, bool srcPadded) {
    uint8_t* dstPlanes[4] = {nullptr};
    int dstStrides[4] = {0};
    if (av_image_fill_arrays(dstPlanes, dstStrides, dst, dstFormat, dstWidth, dstHeight, 1) < 0) {
        return false;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    const uint8_t* const* planes = srcPlanes;
    const int* strides = srcStrides;
    if (!srcPadded && !BlockAligned(srcStrides, srcFormat, srcWidth)) {
        planes = PaddedSource(srcPlanes, srcStrides, srcFormat, srcWidth, srcHeight, &strides);
        if (!planes) {
            return false;
        }
    }
    const bool direct = BlockAligned(dstStrides, dstFormat, dstWidth);
    if (!direct && !EnsureFrame(m_target, dstFormat, dstWidth, dstHeight)) {
        return false;
    }
    SwsContext* next = sws_getCachedContext(m_context.release(), srcWidth, srcHeight, srcFormat, dstWidth,
                                            dstHeight, dstFormat, SWS_BILINEAR, nullptr, nullptr, nullptr);
    m_context.reset(next);
    if (!next) {
        QV_LOG(60, "[CODEC]sws_getCachedContext failed [%d*%d]->[%d*%d]", srcWidth, srcHeight, dstWidth, dstHeight);
        return false;
    }
    uint8_t* const* outPlanes = direct ? dstPlanes : m_target->data;
    const int* outStrides = direct ? dstStrides : m_target->linesize;
    if (sws_scale(next, planes, strides, 0, srcHeight, outPlanes, outStrides) != dstHeight) {
        return false;
    }
    if (!direct) {
        av_image_copy(dstPlanes, dstStrides, const_cast<const uint8_t**>(m_target->data), m_target->linesize,
                      dstFormat, dstWidth, dstHeight);
    }
    return true;
}

int ICodecInterface::ImageGetBufferSize(PixelFormat format, int width, int height) {
    return PackedSize(ToAvPixelFormat(format), width, height);
}

int ICodecInterface::ImageWrapBuffer(const uint8_t* data, int size, PixelFormat format, int width, int height,
                                     CVideoDecodeOutParam& picture) {
    const AVPixelFormat avFormat = ToAvPixelFormat(format);
    const int needed = PackedSize(avFormat, width, height);
    if (!data || needed < 0 || size < needed) {
        return -1;
    }
    uint8_t* planes[4] = {nullptr};
    int strides[4] = {0};
    if (av_image_fill_arrays(planes, strides, data, avFormat, width, height, 1) < 0) {
        return -1;
    }
    picture.Reset();
    picture.width = picture.sourceWidth = width;
    picture.height = picture.sourceHeight = height;
    picture.pixelFormat = format;
    for (int i = 0; i < 4; ++i) {
        picture.planes[i] = planes[i];
        picture.strides[i] = strides[i];
    }
    return 0;
}

int ICodecInterface::ImageCopyToBuffer(uint8_t* buffer, int size, PixelFormat format,
                                       const CVideoDecodeOutParam& picture, int width, int height) {
    const AVPixelFormat dstFormat = ToAvPixelFormat(format);
    const int dstWidth = width > 0 ? width : picture.width;
    const int dstHeight = height > 0 ? height : picture.height;
    const int needed = PackedSize(dstFormat, dstWidth, dstHeight);
    if (!buffer || needed < 0 || size < needed || picture.sourceWidth <= 0 || picture.sourceHeight <= 0) {
        return -1;
    }
    try {
        // Source planes: the decoded frame when there is one (downloaded first
        // when it is a hardware surface), else the planes of a wrapped buffer.
        const AVFrame* frame = picture.holder ? picture.holder->frame.get() : nullptr;
        FramePtr downloaded;
        if (frame && frame->format == AV_PIX_FMT_VAAPI) {
            downloaded.reset(av_frame_alloc());
            const int err = downloaded ? av_hwframe_transfer_data(downloaded.get(), frame, 0) : AVERROR(ENOMEM);
            if (err < 0) {
                QV_LOG(60, "[CODEC]err[%d:%s] av_hwframe_transfer_data", err, AvErrorText(err).c_str());
                return -1;
            }
            frame = downloaded.get();
        }
        const uint8_t* planes[4] = {nullptr};
        int strides[4] = {0};
        AVPixelFormat srcFormat = AV_PIX_FMT_NONE;
        int srcWidth = picture.sourceWidth;
        int srcHeight = picture.sourceHeight;
        if (frame) {
            for (int i = 0; i < 4; ++i) {
                planes[i] = frame->data[i];
                strides[i] = frame->linesize[i];
            }
            srcFormat = static_cast<AVPixelFormat>(frame->format);
            srcWidth = frame->width;
            srcHeight = frame->height;
        } else {
            for (int i = 0; i < 4; ++i) {
                planes[i] = picture.planes[i];
                strides[i] = picture.strides[i];
            }
            srcFormat = ToAvPixelFormat(picture.pixelFormat);
        }
        if (srcFormat == AV_PIX_FMT_NONE || srcFormat == AV_PIX_FMT_VAAPI || !planes[0]) {
            return -1;
        }
        if (srcFormat == dstFormat && srcWidth == dstWidth && srcHeight == dstHeight) {
            const int copied =
                av_image_copy_to_buffer(buffer, size, planes, strides, srcFormat, srcWidth, srcHeight, 1);
            return copied == needed ? needed : -1;
        }
        std::shared_ptr<ImageConverter> converter = picture.holder ? picture.holder->converter : nullptr;
        if (!converter) {
            converter = std::make_shared<ImageConverter>();
        }
        return converter->Convert(planes, strides, srcFormat, srcWidth, srcHeight, buffer, dstFormat, dstWidth,
                                  dstHeight, frame != nullptr)
                   ? needed
                   : -1;
    } catch (...) {
        return -1;
    }
}

}  // namespace codec_interface
