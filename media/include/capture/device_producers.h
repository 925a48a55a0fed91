#pragma once
// The machine's own camera (V4L2) and microphone (SDL2 audio capture) as
// capture producers. Both list what is present; opening one that is not
// there fails Attach with a clear LastError.
#include <memory>
#include <string>
#include <vector>

#include "capture/threaded_producer.h"

namespace capture {

struct CameraDevice {
    std::string path;  // "/dev/video0"
    std::string name;  // what the driver calls it
    std::vector<emCAPTURE_TYPE> types;  // the capture types it delivers, in the driver's order
};

// Video capture devices under /dev (video0 ... video63), in number order.
CAPTURE_API std::vector<CameraDevice> ListCameras();

// A V4L2 camera. It delivers the device's own format as the capture type:
// YUYV as YUY2, NV12, YU12 as I420, MJPG as MJPEG and H264 as H264, raw
// formats first. GetCaptureType tells the kind (a camera); every frame
// carries the type it is.
class CAPTURE_API CV4L2Camera : public CThreadedProducer {
public:
    struct Options {
        std::string device;  // "" takes the first camera
        int width = 640;     // asked of the driver, which may choose another size
        int height = 480;
        int fps = 30;
    };
    explicit CV4L2Camera(Options options);
    ~CV4L2Camera() override;

protected:
    bool OpenDevice(std::string& error) override;
    bool CaptureNext(const std::atomic<bool>& stop) override;
    void CloseDevice() override;

private:
    struct Device;
    const Options m_options;
    std::unique_ptr<Device> m_device;
};

// Capture devices SDL's audio driver names (a driver may offer only its default).
CAPTURE_API std::vector<std::string> ListMicrophones();

// A microphone through SDL2 audio capture: signed 16-bit PCM in 20 ms blocks.
class CAPTURE_API CSdlMicrophone : public CThreadedProducer {
public:
    struct Options {
        std::string device;  // "" takes the default capture device
        int sampleRate = 48000;
        int channels = 2;
    };
    explicit CSdlMicrophone(Options options);
    ~CSdlMicrophone() override;

protected:
    bool OpenDevice(std::string& error) override;
    bool CaptureNext(const std::atomic<bool>& stop) override;
    void CloseDevice() override;

private:
    struct Device;
    const Options m_options;
    std::unique_ptr<Device> m_device;
};

}  // namespace capture
