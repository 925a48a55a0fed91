#pragma once
// H.264, H.265 and MJPEG decoding through libavcodec, in software or through
// VAAPI, set for low delay: one complete frame per packet, no frame threads,
// no parser, one picture out per picture in.
#include "av_handles.h"
#include "codec/codec_interface.h"
#include "picture_holder.h"

namespace codec_interface {

class VideoDecoder : public ICodecInterface {
public:
    explicit VideoDecoder(CodecType type);
    ~VideoDecoder() override;

    CodecType GetType() const override { return m_type; }
    int Init(const CVideoDecodeParam& param) override;
    int Decode(const uint8_t* data, int length, CVideoDecodeOutParam& out) override;
    int SetOutputSize(int width, int height) override;
    void UnInit() override;

private:
    bool Hardware() const;
    bool OpenHardwareDevice();
    int ReceivePicture(CVideoDecodeOutParam& out);

    const CodecType m_type;
    CodecContextPtr m_context;
    PacketPtr m_packet;
    BufferRefPtr m_hwDevice;
    std::shared_ptr<ImageConverter> m_converter;
    int m_outWidth = 0;
    int m_outHeight = 0;
    int64_t m_pictures = 0;
};

}  // namespace codec_interface
