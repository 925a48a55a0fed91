#include "capture_uplink.h"

#include "common/qv_log.h"

namespace handset_sdk {

CCaptureUplink::Source CCaptureUplink::Register(Source source) {
    if (!source) return nullptr;
    const int type = source->GetCaptureType();
    std::lock_guard<std::mutex> lock(m_mutex);
    Source& slot = capture::IsMicrophoneType(type) ? m_mic : m_camera;
    if (slot == source) return nullptr;
    Source replaced = std::move(slot);
    slot = std::move(source);
    return replaced;
}

bool CCaptureUplink::Unregister(const Source& source) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (source && m_camera == source) {
        m_camera.reset();
        return true;
    }
    if (source && m_mic == source) {
        m_mic.reset();
        return true;
    }
    return false;
}

bool CCaptureUplink::IsRegistered(const Source& source) {
    std::lock_guard<std::mutex> lock(m_mutex);
    return source && (m_camera == source || m_mic == source);
}

CCaptureUplink::Source CCaptureUplink::CameraSwitch(int type, bool on, int width, int height) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!on) {
        m_cameraOn = false;
        m_cameraRequest.width = 0;
        m_cameraRequest.height = 0;
        m_cameraPath.Release();
        return std::move(m_camera);
    }
    m_cameraOn = true;
    m_cameraRequest.front = type == 1;
    m_cameraRequest.width = width;
    m_cameraRequest.height = height;
    m_cameraPath.Invalidate();
    return nullptr;
}

CCaptureUplink::Source CCaptureUplink::MicSwitch(bool on, int samples) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!on) {
        m_micOn = false;
        m_micPath.Release();
        return std::move(m_mic);
    }
    m_micOn = true;
    m_micSamples = samples < 1 ? kDefaultMicSamples : samples;
    m_micPath.Invalidate();
    return nullptr;
}

void CCaptureUplink::SetOrientation(int rotation) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const int orientation = rotation & 3;
    if (orientation == m_orientation) return;
    m_orientation = orientation;
    m_cameraPath.Invalidate();
}

void CCaptureUplink::OnFrame(const capture::CaptureFrame* frame, data_hub::IDataHub* hub) {
    if (frame == nullptr || frame->data == nullptr || frame->length <= 0 || hub == nullptr) return;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (capture::IsMicrophoneType(frame->type)) {
        if (m_micOn) m_micPath.Handle(*frame, m_micSamples, *hub);
        return;
    }
    if (!m_cameraOn) return;
    CameraRequest request = m_cameraRequest;
    request.orientation = m_orientation;
    m_cameraPath.Handle(*frame, request, *hub);
}

std::vector<CCaptureUplink::Source> CCaptureUplink::Reset() {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<Source> sources;
    if (m_camera) sources.push_back(std::move(m_camera));
    if (m_mic) sources.push_back(std::move(m_mic));
    m_camera.reset();
    m_mic.reset();
    m_cameraOn = false;
    m_micOn = false;
    m_cameraRequest = CameraRequest();
    m_orientation = 0;
    m_micSamples = 0;
    m_cameraPath.Release();
    m_micPath.Release();
    return sources;
}

}  // namespace handset_sdk
