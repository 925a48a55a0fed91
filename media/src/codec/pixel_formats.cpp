#include "pixel_formats.h"

namespace codec_interface {

AVPixelFormat ToAvPixelFormat(int format) {
    switch (format) {
        case PIXEL_FORMAT_RGB24: return AV_PIX_FMT_RGB24;
        case PIXEL_FORMAT_I420: return AV_PIX_FMT_YUV420P;
        case PIXEL_FORMAT_YUY2: return AV_PIX_FMT_YUYV422;
        case PIXEL_FORMAT_BGRA: return AV_PIX_FMT_BGRA;
        case PIXEL_FORMAT_NV12: return AV_PIX_FMT_NV12;
        case PIXEL_FORMAT_RGBA: return AV_PIX_FMT_RGBA;
        case PIXEL_FORMAT_HW_SURFACE: return AV_PIX_FMT_VAAPI;
        default: return AV_PIX_FMT_NONE;
    }
}

PixelFormat FromAvPixelFormat(int format) {
    switch (format) {
        case AV_PIX_FMT_RGB24: return PIXEL_FORMAT_RGB24;
        case AV_PIX_FMT_YUV420P:
        case AV_PIX_FMT_YUVJ420P: return PIXEL_FORMAT_I420;
        case AV_PIX_FMT_YUYV422: return PIXEL_FORMAT_YUY2;
        case AV_PIX_FMT_BGRA: return PIXEL_FORMAT_BGRA;
        case AV_PIX_FMT_NV12: return PIXEL_FORMAT_NV12;
        case AV_PIX_FMT_RGBA: return PIXEL_FORMAT_RGBA;
        case AV_PIX_FMT_VAAPI: return PIXEL_FORMAT_HW_SURFACE;
        default: return PIXEL_FORMAT_UNKNOWN;
    }
}

}  // namespace codec_interface
