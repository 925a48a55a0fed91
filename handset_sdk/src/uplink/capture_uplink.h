#pragma once
// The phone's camera and microphone: its switches, the registered producers
// and the two encoder paths, all under one capture mutex. Producers are
// attached and detached by the caller outside that mutex (a detach waits for
// a running delivery, which needs the mutex).
#include <memory>
#include <mutex>
#include <vector>

#include "camera_uplink.h"
#include "capture/capture_notify.h"
#include "data_hub/data_hub.h"
#include "mic_uplink.h"

namespace handset_sdk {

class CCaptureUplink {
public:
    using Source = std::shared_ptr<capture::ICaptureSource>;

    static constexpr int kDefaultMicSamples = 8000;

    // Keeps source as the camera or microphone producer (by its capture
    // type); returns the producer it replaced, if any.
    Source Register(Source source);
    // Forgets source; false when it was not registered.
    bool Unregister(const Source& source);

    bool IsRegistered(const Source& source);

    // The phone's switches. Off forgets the producer and releases the
    // encoders; the producer returned is to be detached.
    Source CameraSwitch(int type, bool on, int width, int height);
    Source MicSwitch(bool on, int samples);
    // Quarter turns of the phone's screen; a change sets the camera encoder up again.
    void SetOrientation(int rotation);

    // One producer frame (producer thread). Ignored unless the matching
    // switch is on and the frame is whole.
    void OnFrame(const capture::CaptureFrame* frame, data_hub::IDataHub* hub);

    // Back to the start: everything off and forgotten; returns the producers to detach.
    std::vector<Source> Reset();

private:
    std::mutex m_mutex;  // everything below
    Source m_camera;
    Source m_mic;
    bool m_cameraOn = false;
    CameraRequest m_cameraRequest;
    int m_orientation = 0;
    bool m_micOn = false;
    int m_micSamples = 0;
    CameraUplink m_cameraPath;
    MicUplink m_micPath;
};

}  // namespace handset_sdk
