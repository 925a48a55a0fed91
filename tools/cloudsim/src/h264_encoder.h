#pragma once
// H.264 through libx264 for live streaming: no B-frames, zero-latency tuning,
// one complete access unit (Annex B) per picture, SPS and PPS in front of
// every key frame.
#include <cstdint>
#include <string>
#include <vector>

#include "av_handles.h"
#include "canvas.h"

namespace cloudsim {

struct VideoSettings {
    int width = 720;
    int height = 1280;
    int fps = 30;
    int bitrateKbps = 2048;
};

class H264Encoder {
public:
    H264Encoder() = default;
    H264Encoder(const H264Encoder&) = delete;
    H264Encoder& operator=(const H264Encoder&) = delete;

    // Opens (or reopens) for these settings; false with error filled on failure.
    bool Open(const VideoSettings& settings, std::string* error);
    void Close();
    bool IsOpen() const { return m_context != nullptr; }
    const VideoSettings& Settings() const { return m_settings; }

    // Encodes a picture of the open size. out receives the access unit; a
    // picture the encoder holds back leaves out empty.
    bool Encode(const Canvas& picture, bool forceKeyFrame, std::vector<uint8_t>& out, bool& keyFrame,
                std::string* error);

private:
    VideoSettings m_settings;
    CodecContextPtr m_context;
    FramePtr m_frame;
    PacketPtr m_packet;
    SwsPtr m_scaler;
    int64_t m_nextPts = 0;
};

}  // namespace cloudsim
