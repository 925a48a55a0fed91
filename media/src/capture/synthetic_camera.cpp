#include <chrono>
#include <cstring>

#include "capture/synthetic_producers.h"
#include "codec/codec_interface.h"
#include "frame_pacer.h"

namespace capture {

namespace {

using namespace codec_interface;

int64_t WallClockMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

PixelFormat FormatOf(emCAPTURE_TYPE type) {
    switch (type) {
        case CAPTURE_TYPE_NV12: return PIXEL_FORMAT_NV12;
        case CAPTURE_TYPE_YUY2: return PIXEL_FORMAT_YUY2;
        default: return PIXEL_FORMAT_I420;
    }
}

}  // namespace

struct CSyntheticCamera::Device {
    explicit Device(int fps) : pacer(std::chrono::microseconds(1000000 / fps)) {}
    FramePacer pacer;
    int64_t frameNumber = 0;
    std::vector<uint8_t> i420;
    std::vector<uint8_t> converted;
    std::shared_ptr<ICodecInterface> encoder;  // H264 frames
    CVideoEncodeOutParam encoded;
};

CSyntheticCamera::CSyntheticCamera(Options options) : CThreadedProducer(options.type), m_options(options) {}

CSyntheticCamera::~CSyntheticCamera() { Shutdown(); }

bool CSyntheticCamera::OpenDevice(std::string& error) {
    const Options& o = m_options;
    if (!IsCameraType(o.type) || o.type == CAPTURE_TYPE_MJPEG) {
        error = "the synthetic camera delivers I420, NV12, YUY2 or H264";
        return false;
    }
    if (o.width < 16 || o.height < 16 || o.width > 4096 || o.height > 4096 || o.fps < 1 || o.fps > 120) {
        error = "the synthetic camera's size or frame rate is out of range";
        return false;
    }
    auto device = std::make_unique<Device>(o.fps);
    if (o.type == CAPTURE_TYPE_H264) {
        device->encoder = ICodecInterface::Create(CODEC_VIDEO_ENCODE_H264);
        CVideoEncodeParam param;
        param.width = o.width;
        param.height = o.height;
        param.fps = o.fps;
        param.bitrateKbps = 4096;
        if (!device->encoder || device->encoder->Init(param) != 0) {
            error = "the synthetic camera's H.264 encoder cannot start";
            return false;
        }
    }
    m_device = std::move(device);
    return true;
}

bool CSyntheticCamera::CaptureNext(const std::atomic<bool>& stop) {
    Device& d = *m_device;
    if (!d.pacer.Wait(stop)) return true;
    const Options& o = m_options;
    const int64_t now = WallClockMs();
    TestPicture::RenderI420(o.width, o.height, d.frameNumber++, now, d.i420);
    CaptureFrame frame;
    frame.type = o.type;
    frame.width = o.width;
    frame.height = o.height;
    frame.timestampMs = now;
    if (o.type == CAPTURE_TYPE_I420) {
        frame.data = d.i420.data();
        frame.length = static_cast<int32_t>(d.i420.size());
    } else if (o.type == CAPTURE_TYPE_H264) {
        if (d.encoder->Encode(d.i420.data(), static_cast<int>(d.i420.size()), d.encoded) != 1) return true;
        frame.data = d.encoded.data.data();
        frame.length = static_cast<int32_t>(d.encoded.data.size());
    } else {
        CVideoDecodeOutParam picture;
        const PixelFormat format = FormatOf(o.type);
        const int size = ICodecInterface::ImageGetBufferSize(format, o.width, o.height);
        if (size <= 0 ||
            ICodecInterface::ImageWrapBuffer(d.i420.data(), static_cast<int>(d.i420.size()), PIXEL_FORMAT_I420,
                                             o.width, o.height, picture) != 0) {
            return false;
        }
        d.converted.resize(static_cast<size_t>(size));
        if (ICodecInterface::ImageCopyToBuffer(d.converted.data(), size, format, picture) != size) return false;
        frame.data = d.converted.data();
        frame.length = size;
    }
    Deliver(frame);
    return true;
}

void CSyntheticCamera::CloseDevice() { m_device.reset(); }

}  // namespace capture
