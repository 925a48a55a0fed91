#pragma once
// The capture interface between the application's camera and microphone
// producers and the SDK that sends their frames uplink.
#include <cstdint>
#include <memory>

#define CAPTURE_API __attribute__((visibility("default")))

namespace capture {

// Capture formats. 1 to 5 are camera formats (4 and 5 compressed, decoded
// before encoding), higher values microphone formats.
enum emCAPTURE_TYPE : int32_t {
    CAPTURE_TYPE_NONE = 0,
    CAPTURE_TYPE_I420 = 1,      // planar YUV 4:2:0, tightly packed (codec PIXEL_FORMAT_I420)
    CAPTURE_TYPE_NV12 = 2,      // Y plane then interleaved UV (codec PIXEL_FORMAT_NV12)
    CAPTURE_TYPE_YUY2 = 3,      // packed 4:2:2 (codec PIXEL_FORMAT_YUY2)
    CAPTURE_TYPE_MJPEG = 4,     // one JPEG picture per frame (codec CODEC_VIDEO_DECODE_MJPEG)
    CAPTURE_TYPE_H264 = 5,      // one Annex B access unit per frame (codec CODEC_VIDEO_DECODE_H264)
    CAPTURE_TYPE_PCM = 6,       // microphone PCM in blocks of 20 ms
    CAPTURE_TYPE_PCM_LOOPBACK = 7,  // the desktop's own sound in blocks of 20 ms
    CAPTURE_TYPE_PCM_1024 = 8,  // microphone PCM in fixed blocks of 1024 samples per channel
};

inline bool IsCameraType(int type) { return type >= CAPTURE_TYPE_I420 && type <= CAPTURE_TYPE_H264; }
inline bool IsCompressedCameraType(int type) { return type == CAPTURE_TYPE_MJPEG || type == CAPTURE_TYPE_H264; }
inline bool IsMicrophoneType(int type) { return type >= CAPTURE_TYPE_PCM && type <= CAPTURE_TYPE_PCM_1024; }

// One captured frame. The data is valid only during the OnCaptureFrame call.
struct CaptureFrame {
    emCAPTURE_TYPE type = CAPTURE_TYPE_NONE;
    const uint8_t* data = nullptr;
    int32_t length = 0;
    int64_t timestampMs = 0;
    // Camera formats.
    int32_t width = 0;
    int32_t height = 0;
    // Microphone formats.
    int32_t sampleRate = 0;
    int32_t channels = 0;
    int32_t sampleFormat = 0;  // 1 signed 16-bit, 2 32-bit float (codec AudioSampleFormat)
    int32_t samples = 0;       // per channel
};

// Implemented by whoever consumes frames (the SDK).
class CAPTURE_API ICaptureNotify {
public:
    // Called on the producer's thread; frame may be null or empty (ignore it).
    virtual void OnCaptureFrame(const CaptureFrame* frame) = 0;
    virtual ~ICaptureNotify() = default;
};

// A camera or microphone producer, implemented by the application.
class CAPTURE_API ICaptureSource {
public:
    virtual emCAPTURE_TYPE GetCaptureType() const = 0;
    // Starts delivering frames to notify (held weakly; a receiver that is gone
    // gets nothing). -1 when the producer cannot deliver.
    virtual int Attach(std::weak_ptr<ICaptureNotify> notify) = 0;
    // Stops delivering frames to notify. When it returns, no delivery to notify
    // is running or will start, unless Detach was called from inside a delivery.
    virtual void Detach(const ICaptureNotify* notify) = 0;
    virtual ~ICaptureSource() = default;
};

// A ready-made producer core: keeps the attached receivers and delivers
// frames to them with the Detach guarantee above. Applications derive their
// camera or microphone from it and call Deliver from their capture thread.
class CAPTURE_API CCaptureProducer : public ICaptureSource {
public:
    explicit CCaptureProducer(emCAPTURE_TYPE type);
    ~CCaptureProducer() override;

    emCAPTURE_TYPE GetCaptureType() const override { return m_type; }
    int Attach(std::weak_ptr<ICaptureNotify> notify) override;
    void Detach(const ICaptureNotify* notify) override;

    // Hands frame to every attached receiver; returns how many got it.
    int Deliver(const CaptureFrame& frame);
    int AttachedCount() const;

private:
    struct State;
    const emCAPTURE_TYPE m_type;
    std::unique_ptr<State> m_state;
};

}  // namespace capture
