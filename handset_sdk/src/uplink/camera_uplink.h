#pragma once
// The camera half of the capture uplink: turns producer frames into H.264
// access units for the phone. Compressed frames are decoded first; the
// encoder is set up on the first frame after the camera is switched on (and
// again when the source, the request or the phone's orientation changes).
// Not thread-safe: the capture uplink calls it under its mutex.
#include <memory>
#include <vector>

#include "capture/capture_notify.h"
#include "codec/codec_interface.h"
#include "data_hub/data_hub.h"

namespace handset_sdk {

// What the phone asked for, from its camera switch and screen notifications.
struct CameraRequest {
    bool front = false;
    int width = 0;
    int height = 0;
    int orientation = 0;  // quarter turns
};

class CameraUplink {
public:
    // Encodes one frame and sends it (parameters first after every set-up).
    // false when the frame was dropped.
    bool Handle(const capture::CaptureFrame& frame, const CameraRequest& request, data_hub::IDataHub& hub);
    // The next frame sets the encoder up again.
    void Invalidate() { m_ready = false; }
    // Stops and releases encoder and decoder.
    void Release();

private:
    // The picture to encode: raw frames as they are, compressed ones decoded.
    bool Picture(const capture::CaptureFrame& frame, const uint8_t*& data, int& length, int& format, int& width,
                 int& height);
    bool SetUpDecoder(const capture::CaptureFrame& frame);
    bool SetUpEncoder(int captureType, int format, int width, int height, const CameraRequest& request);
    void Send(const codec_interface::CVideoEncodeOutParam& out, data_hub::IDataHub& hub);

    std::shared_ptr<codec_interface::ICodecInterface> m_decoder;
    int m_decoderType = 0;  // capture type the decoder was made for
    std::shared_ptr<codec_interface::ICodecInterface> m_encoder;
    bool m_ready = false;
    bool m_paramsSent = false;
    // What the encoder was set up for.
    int m_format = 0;
    int m_width = 0;
    int m_height = 0;
    CameraRequest m_request;
    codec_interface::CVideoDecodeOutParam m_decoded;
    std::vector<uint8_t> m_buffer;
    codec_interface::CVideoEncodeOutParam m_out;
};

// The SPS and PPS NAL units (with start codes) at the front of an access unit.
std::vector<uint8_t> H264ParameterSets(const std::vector<uint8_t>& accessUnit);

}  // namespace handset_sdk
