#pragma once
// The microphone half of the capture uplink: PCM blocks from the producer to
// Opus packets at 48000 Hz and 64000 bit/s. The encoder is set up on the
// first block after the microphone is switched on, and again when the
// producer's format changes. Not thread-safe: the capture uplink calls it
// under its mutex.
#include <memory>

#include "capture/capture_notify.h"
#include "codec/codec_interface.h"
#include "data_hub/data_hub.h"

namespace handset_sdk {

class MicUplink {
public:
    // Encodes one block and sends the packets it completed (parameters first
    // after every set-up). false when the block was dropped.
    bool Handle(const capture::CaptureFrame& frame, int requestedSamples, data_hub::IDataHub& hub);
    void Invalidate() { m_ready = false; }
    void Release();

private:
    bool SetUp(const capture::CaptureFrame& frame, int sampleFormat, int requestedSamples, data_hub::IDataHub& hub);

    std::shared_ptr<codec_interface::ICodecInterface> m_encoder;
    bool m_ready = false;
    int m_type = 0;
    int m_sampleRate = 0;
    int m_channels = 0;
    int m_sampleFormat = 0;
    int m_requestedSamples = 0;
    codec_interface::CAudioEncodeOutParam m_out;
};

}  // namespace handset_sdk
