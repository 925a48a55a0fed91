#pragma once
// Camera uplink encoder: pictures through a libavfilter chain (crop, turn,
// scale, to I420), then libx264 tuned for zero latency: no B-frames, one
// access unit per picture, SPS and PPS in front of every key frame.
#include <vector>

#include "av_handles.h"
#include "codec/codec_interface.h"
#include "filter_chain.h"

namespace codec_interface {

class H264Encoder : public ICodecInterface {
public:
    CodecType GetType() const override { return CODEC_VIDEO_ENCODE_H264; }
    int Init(const CVideoEncodeParam& param) override;
    int Encode(const uint8_t* data, int length, CVideoEncodeOutParam& out) override;
    void UnInit() override;

private:
    bool OpenEncoder(const CVideoEncodeParam& param, int width, int height);
    int EncodeFiltered(AVFrame* picture, CVideoEncodeOutParam& out);

    CVideoEncodeParam m_param;
    int m_inputSize = 0;
    FilterChain m_filter;
    CodecContextPtr m_context;
    FramePtr m_input;
    FramePtr m_filtered;
    PacketPtr m_packet;
    int64_t m_nextPts = 0;
};

}  // namespace codec_interface
