#include <fcntl.h>
#include <linux/videodev2.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "capture/device_producers.h"

namespace capture {

namespace {

constexpr int kBuffers = 4;
constexpr int kMaxDevices = 64;

int Ioctl(int fd, unsigned long request, void* arg) {
    int rc;
    do {
        rc = ioctl(fd, request, arg);
    } while (rc < 0 && errno == EINTR);
    return rc;
}

std::string ErrnoText(const char* what, const std::string& path) {
    return std::string(what) + " " + path + ": err[" + std::to_string(errno) + ":" + std::strerror(errno) + "]";
}

emCAPTURE_TYPE TypeOf(uint32_t fourcc) {
    switch (fourcc) {
        case V4L2_PIX_FMT_YUYV: return CAPTURE_TYPE_YUY2;
        case V4L2_PIX_FMT_NV12: return CAPTURE_TYPE_NV12;
        case V4L2_PIX_FMT_YUV420: return CAPTURE_TYPE_I420;
        case V4L2_PIX_FMT_MJPEG: return CAPTURE_TYPE_MJPEG;
        case V4L2_PIX_FMT_H264: return CAPTURE_TYPE_H264;
        default: return CAPTURE_TYPE_NONE;
    }
}

// A capture device's name and the formats it offers, or false for other devices.
bool Describe(int fd, CameraDevice& out, std::vector<uint32_t>* fourccs) {
    v4l2_capability cap{};
    if (Ioctl(fd, VIDIOC_QUERYCAP, &cap) < 0) return false;
    const uint32_t caps = (cap.capabilities & V4L2_CAP_DEVICE_CAPS) ? cap.device_caps : cap.capabilities;
    if (!(caps & V4L2_CAP_VIDEO_CAPTURE) || !(caps & V4L2_CAP_STREAMING)) return false;
    out.name = reinterpret_cast<const char*>(cap.card);
    for (uint32_t i = 0;; ++i) {
        v4l2_fmtdesc desc{};
        desc.index = i;
        desc.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        if (Ioctl(fd, VIDIOC_ENUM_FMT, &desc) < 0) break;
        const emCAPTURE_TYPE type = TypeOf(desc.pixelformat);
        if (type == CAPTURE_TYPE_NONE) continue;
        out.types.push_back(type);
        if (fourccs) fourccs->push_back(desc.pixelformat);
    }
    return !out.types.empty();
}

}  // namespace

std::vector<CameraDevice> ListCameras() {
    std::vector<CameraDevice> cameras;
    for (int i = 0; i < kMaxDevices; ++i) {
        const std::string path = "/dev/video" + std::to_string(i);
        const int fd = open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        CameraDevice device;
        device.path = path;
        if (Describe(fd, device, nullptr)) cameras.push_back(std::move(device));
        close(fd);
    }
    return cameras;
}

struct CV4L2Camera::Device {
    int fd = -1;
    bool streaming = false;
    struct Mapped {
        void* start = MAP_FAILED;
        size_t length = 0;
    };
    Mapped buffers[kBuffers];
    int bufferCount = 0;
    emCAPTURE_TYPE type = CAPTURE_TYPE_NONE;
    int width = 0;
    int height = 0;

    ~Device() {
        if (fd >= 0 && streaming) {
            v4l2_buf_type t = V4L2_BUF_TYPE_VIDEO_CAPTURE;
            Ioctl(fd, VIDIOC_STREAMOFF, &t);
        }
        for (auto& b : buffers) {
            if (b.start != MAP_FAILED) munmap(b.start, b.length);
        }
        if (fd >= 0) close(fd);
    }
};

CV4L2Camera::CV4L2Camera(Options options) : CThreadedProducer(CAPTURE_TYPE_I420), m_options(std::move(options)) {}

CV4L2Camera::~CV4L2Camera() { Shutdown(); }

bool CV4L2Camera::OpenDevice(std::string& error) {
    std::string path = m_options.device;
    if (path.empty()) {
        const auto cameras = ListCameras();
        if (cameras.empty()) {
            error = "no camera: no video capture device under /dev";
            return false;
        }
        path = cameras.front().path;
    }
    auto d = std::make_unique<Device>();
    d->fd = open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (d->fd < 0) {
        error = ErrnoText("no camera: cannot open", path);
        return false;
    }
    CameraDevice described;
    std::vector<uint32_t> fourccs;
    if (!Describe(d->fd, described, &fourccs)) {
        error = "no camera: " + path + " is not a video capture device with a known format";
        return false;
    }
    // Raw formats need no decoding on this side: take the first raw one, else the first offered.
    size_t pick = 0;
    for (size_t i = 0; i < described.types.size(); ++i) {
        if (!IsCompressedCameraType(described.types[i])) {
            pick = i;
            break;
        }
    }
    v4l2_format format{};
    format.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    format.fmt.pix.width = static_cast<uint32_t>(m_options.width);
    format.fmt.pix.height = static_cast<uint32_t>(m_options.height);
    format.fmt.pix.pixelformat = fourccs[pick];
    format.fmt.pix.field = V4L2_FIELD_NONE;
    if (Ioctl(d->fd, VIDIOC_S_FMT, &format) < 0) {
        error = ErrnoText("VIDIOC_S_FMT on", path);
        return false;
    }
    d->type = TypeOf(format.fmt.pix.pixelformat);
    d->width = static_cast<int>(format.fmt.pix.width);
    d->height = static_cast<int>(format.fmt.pix.height);
    if (d->type == CAPTURE_TYPE_NONE) {
        error = "the camera " + path + " chose a format this program does not read";
        return false;
    }
    v4l2_streamparm parm{};
    parm.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    parm.parm.capture.timeperframe.numerator = 1;
    parm.parm.capture.timeperframe.denominator = static_cast<uint32_t>(m_options.fps > 0 ? m_options.fps : 30);
    Ioctl(d->fd, VIDIOC_S_PARM, &parm);  // a driver without frame rates keeps its own

    v4l2_requestbuffers request{};
    request.count = kBuffers;
    request.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    request.memory = V4L2_MEMORY_MMAP;
    if (Ioctl(d->fd, VIDIOC_REQBUFS, &request) < 0 || request.count < 2) {
        error = ErrnoText("VIDIOC_REQBUFS on", path);
        return false;
    }
    d->bufferCount = static_cast<int>(std::min<uint32_t>(request.count, kBuffers));
    for (int i = 0; i < d->bufferCount; ++i) {
        v4l2_buffer buffer{};
        buffer.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        buffer.memory = V4L2_MEMORY_MMAP;
        buffer.index = static_cast<uint32_t>(i);
        if (Ioctl(d->fd, VIDIOC_QUERYBUF, &buffer) < 0) {
            error = ErrnoText("VIDIOC_QUERYBUF on", path);
            return false;
        }
        d->buffers[i].length = buffer.length;
        d->buffers[i].start = mmap(nullptr, buffer.length, PROT_READ | PROT_WRITE, MAP_SHARED, d->fd, buffer.m.offset);
        if (d->buffers[i].start == MAP_FAILED || Ioctl(d->fd, VIDIOC_QBUF, &buffer) < 0) {
            error = ErrnoText("mapping a buffer of", path);
            return false;
        }
    }
    v4l2_buf_type type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    if (Ioctl(d->fd, VIDIOC_STREAMON, &type) < 0) {
        error = ErrnoText("VIDIOC_STREAMON on", path);
        return false;
    }
    d->streaming = true;
    m_device = std::move(d);
    return true;
}

bool CV4L2Camera::CaptureNext(const std::atomic<bool>& stop) {
    Device& d = *m_device;
    pollfd p{d.fd, POLLIN, 0};
    const int ready = poll(&p, 1, 100);  // short, so a stop request is seen
    if (ready == 0 || (ready < 0 && errno == EINTR) || stop) return true;
    if (ready < 0 || (p.revents & (POLLERR | POLLHUP | POLLNVAL))) return false;
    v4l2_buffer buffer{};
    buffer.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    buffer.memory = V4L2_MEMORY_MMAP;
    if (Ioctl(d.fd, VIDIOC_DQBUF, &buffer) < 0) return errno == EAGAIN;
    if (buffer.index < static_cast<uint32_t>(d.bufferCount) && !(buffer.flags & V4L2_BUF_FLAG_ERROR)) {
        const auto& mapped = d.buffers[buffer.index];
        CaptureFrame frame;
        frame.type = d.type;
        frame.data = static_cast<const uint8_t*>(mapped.start);
        frame.length = static_cast<int32_t>(std::min<size_t>(buffer.bytesused, mapped.length));
        frame.width = d.width;
        frame.height = d.height;
        frame.timestampMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                                std::chrono::system_clock::now().time_since_epoch())
                                .count();
        Deliver(frame);
    }
    return Ioctl(d.fd, VIDIOC_QBUF, &buffer) == 0;
}

void CV4L2Camera::CloseDevice() { m_device.reset(); }

}  // namespace capture
