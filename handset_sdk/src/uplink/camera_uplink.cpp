#include "camera_uplink.h"

#include <cstring>

#include "camera_filter.h"
#include "common/qv_log.h"

namespace handset_sdk {

namespace {

using namespace codec_interface;

constexpr int kMaxSide = 8192;     // larger sources are not cameras
constexpr int kMaxOutSide = 4096;  // larger requests are encoded at the crop's size
constexpr int kCameraFps = 30;
constexpr uint32_t kCameraFormatH264 = 264;

PixelFormat RawFormat(int type) {
    switch (type) {
        case capture::CAPTURE_TYPE_I420: return PIXEL_FORMAT_I420;
        case capture::CAPTURE_TYPE_NV12: return PIXEL_FORMAT_NV12;
        case capture::CAPTURE_TYPE_YUY2: return PIXEL_FORMAT_YUY2;
        default: return PIXEL_FORMAT_UNKNOWN;
    }
}

CodecType DecoderType(int type) {
    return type == capture::CAPTURE_TYPE_MJPEG ? CODEC_VIDEO_DECODE_MJPEG : CODEC_VIDEO_DECODE_H264;
}

bool SaneSize(int width, int height) { return width >= 2 && height >= 2 && width <= kMaxSide && height <= kMaxSide; }

int BitrateKbps(int width, int height) {
    const long long pixels = static_cast<long long>(width) * height;
    if (pixels >= 1280LL * 720) return 2048;
    if (pixels >= 640LL * 360) return 1024;
    return 512;
}

}  // namespace

std::vector<uint8_t> H264ParameterSets(const std::vector<uint8_t>& au) {
    std::vector<uint8_t> sets;
    const size_t n = au.size();
    size_t i = 0;
    while (i + 3 <= n) {
        if (!(au[i] == 0 && au[i + 1] == 0 && au[i + 2] == 1)) {
            ++i;
            continue;
        }
        const size_t start = i + 3;
        size_t end = start;
        while (end + 3 <= n && !(au[end] == 0 && au[end + 1] == 0 && (au[end + 2] == 1 || au[end + 2] == 0))) ++end;
        if (end + 3 > n) end = n;
        if (start < n) {
            const int type = au[start] & 0x1F;
            if (type == 7 || type == 8) {
                static const uint8_t kStart[] = {0, 0, 0, 1};
                sets.insert(sets.end(), kStart, kStart + 4);
                sets.insert(sets.end(), au.begin() + static_cast<long>(start), au.begin() + static_cast<long>(end));
            }
        }
        i = end;
    }
    return sets;
}

bool CameraUplink::SetUpDecoder(const capture::CaptureFrame& frame) {
    if (m_decoder && m_decoderType == frame.type) return true;
    m_decoder.reset();
    if (frame.type != capture::CAPTURE_TYPE_MJPEG && frame.type != capture::CAPTURE_TYPE_H264) {
        QV_LOG(QV_LOG_ERROR, "[HANDSET_SDK]unsupported decodec CaptureType[%d]", frame.type);
        return false;
    }
    const CodecType type = DecoderType(frame.type);
    auto decoder = ICodecInterface::Create(type);
    CVideoDecodeParam param;
    param.width = frame.width;
    param.height = frame.height;
    param.fps = kCameraFps;
    if (!decoder || decoder->Init(param) != 0) {
        QV_LOG(QV_LOG_ERROR, "[HANDSET_SDK]Init cpature video Decodec [%d] [%d] [%d*%d]failed", frame.type,
               static_cast<int>(type), frame.width, frame.height);
        return false;
    }
    m_decoder = std::move(decoder);
    m_decoderType = frame.type;
    return true;
}

bool CameraUplink::Picture(const capture::CaptureFrame& frame, const uint8_t*& data, int& length, int& format,
                           int& width, int& height) {
    if (!capture::IsCompressedCameraType(frame.type)) {
        format = RawFormat(frame.type);
        width = frame.width;
        height = frame.height;
        const int needed = SaneSize(width, height)
                               ? ICodecInterface::ImageGetBufferSize(static_cast<PixelFormat>(format), width, height)
                               : -1;
        if (needed <= 0 || frame.length < needed) return false;  // the frame is not what it says it is
        data = frame.data;
        length = needed;
        return true;
    }
    if (!SetUpDecoder(frame)) return false;
    if (m_decoder->Decode(frame.data, frame.length, m_decoded) != 1 || !SaneSize(m_decoded.width, m_decoded.height)) {
        return false;
    }
    format = PIXEL_FORMAT_I420;
    width = m_decoded.width;
    height = m_decoded.height;
    const int size = ICodecInterface::ImageGetBufferSize(PIXEL_FORMAT_I420, width, height);
    if (size <= 0) return false;
    m_buffer.resize(static_cast<size_t>(size));
    if (ICodecInterface::ImageCopyToBuffer(m_buffer.data(), size, PIXEL_FORMAT_I420, m_decoded) != size) return false;
    data = m_buffer.data();
    length = size;
    return true;
}

bool CameraUplink::SetUpEncoder(int captureType, int format, int width, int height, const CameraRequest& request) {
    m_encoder.reset();
    m_ready = false;
    const CameraFilter filter =
        BuildCameraFilter(width, height, request.width, request.height, request.front, request.orientation);
    CVideoEncodeParam param;
    param.width = width;
    param.height = height;
    param.pixelFormat = format;
    // The phone's request, turned as the picture is; a request beyond what an
    // encoder takes keeps the crop's own size.
    const bool requested = request.width > 0 && request.height > 0 && request.width <= kMaxOutSide &&
                           request.height <= kMaxOutSide;
    param.outWidth = requested ? request.height : filter.outWidth;
    param.outHeight = requested ? request.width : filter.outHeight;
    param.fps = kCameraFps;
    param.bitrateKbps = BitrateKbps(param.outWidth, param.outHeight);
    std::strncpy(param.filter, filter.applied.c_str(), sizeof(param.filter) - 1);
    auto encoder = ICodecInterface::Create(CODEC_VIDEO_ENCODE_H264);
    if (!encoder || encoder->Init(param) != 0) {
        QV_LOG(QV_LOG_ERROR, "[HANDSET_SDK]Init cpature video encodec [%d] [%d] [%d*%d]failed", captureType, format,
               width, height);
        return false;
    }
    m_encoder = std::move(encoder);
    m_format = format;
    m_width = width;
    m_height = height;
    m_request = request;
    m_ready = true;
    m_paramsSent = false;
    return true;
}

bool CameraUplink::Handle(const capture::CaptureFrame& frame, const CameraRequest& request, data_hub::IDataHub& hub) {
    if (!capture::IsCameraType(frame.type)) {
        QV_LOG(QV_LOG_ERROR, "[HANDSET_SDK]unsupported CaptureType[%d]", frame.type);
        return false;
    }
    const uint8_t* data = nullptr;
    int length = 0;
    int format = 0;
    int width = 0;
    int height = 0;
    if (!Picture(frame, data, length, format, width, height)) return false;
    const bool sameRequest = m_request.front == request.front && m_request.width == request.width &&
                             m_request.height == request.height && m_request.orientation == request.orientation;
    if (!m_ready || !sameRequest || format != m_format || width != m_width || height != m_height) {
        if (!SetUpEncoder(frame.type, format, width, height, request)) return false;
    }
    if (m_encoder->Encode(data, length, m_out) != 1 || m_out.data.empty()) return false;
    Send(m_out, hub);
    return true;
}

void CameraUplink::Send(const codec_interface::CVideoEncodeOutParam& out, data_hub::IDataHub& hub) {
    if (!m_paramsSent) {
        const std::vector<uint8_t> sets = H264ParameterSets(out.data);
        if (hub.SendInCameraParamReq(kCameraFormatH264, static_cast<uint32_t>(out.width),
                                     static_cast<uint32_t>(out.height), sets.data(),
                                     static_cast<int>(sets.size())) != 0) {
            m_ready = false;  // the link took nothing: set up again, so the phone starts on a key frame
            return;
        }
        m_paramsSent = true;
    }
    hub.SendInCameraDataReq(out.data.data(), out.data.size());
}

void CameraUplink::Release() {
    if (m_encoder) m_encoder->UnInit();
    if (m_decoder) m_decoder->UnInit();
    m_encoder.reset();
    m_decoder.reset();
    m_decoderType = 0;
    m_ready = false;
    m_paramsSent = false;
    m_format = m_width = m_height = 0;
    m_request = CameraRequest();
    m_decoded.Reset();
    m_buffer.clear();
    m_buffer.shrink_to_fit();
}

}  // namespace handset_sdk
