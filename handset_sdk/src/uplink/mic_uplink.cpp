#include "mic_uplink.h"

#include "common/qv_log.h"
#include "handset_sdk/handset_sdk.h"

namespace handset_sdk {

namespace {

using namespace codec_interface;

constexpr int kOutputRate = 48000;
constexpr int kBitrate = 64000;
constexpr int kPacketMs = 20;

}  // namespace

bool MicUplink::SetUp(const capture::CaptureFrame& frame, int sampleFormat, int requestedSamples,
                      data_hub::IDataHub& hub) {
    m_encoder.reset();
    m_ready = false;
    const int blockSamples =
        IHandsetSdk::GetMicCaptureSampleCount(static_cast<capture::emCAPTURE_TYPE>(frame.type), frame.sampleRate);
    CAudioEncodeParam param;
    param.inputSampleRate = frame.sampleRate;
    param.channels = frame.channels;
    param.sampleFormat = sampleFormat;
    param.outputSampleRate = kOutputRate;
    param.bitrate = kBitrate;
    param.frameMs = kPacketMs;
    auto encoder = ICodecInterface::Create(CODEC_AUDIO_ENCODE_OPUS);
    if (blockSamples < 1 || !encoder || encoder->Init(param) != 0) {
        QV_LOG(QV_LOG_ERROR, "[HANDSET_SDK]Init cpature audio encodec[%d->%d] [%d %d %d]failed", frame.sampleRate,
               kOutputRate, frame.channels, sampleFormat, blockSamples);
        return false;
    }
    QV_LOG(QV_LOG_DETAIL, "[HANDSET_SDK]capture audio encodec[%d->%d] channels[%d] format[%d] block[%d]",
           frame.sampleRate, kOutputRate, frame.channels, sampleFormat, blockSamples);
    // The phone learns the stream's rate and channels before the first packet.
    if (hub.SendInMicParamReq(kOutputRate, static_cast<uint32_t>(frame.channels),
                              static_cast<uint32_t>(requestedSamples)) != 0) {
        return false;
    }
    m_encoder = std::move(encoder);
    m_type = frame.type;
    m_sampleRate = frame.sampleRate;
    m_channels = frame.channels;
    m_sampleFormat = sampleFormat;
    m_requestedSamples = requestedSamples;
    m_ready = true;
    return true;
}

bool MicUplink::Handle(const capture::CaptureFrame& frame, int requestedSamples, data_hub::IDataHub& hub) {
    const int sampleFormat = frame.sampleFormat == 0 ? AUDIO_SAMPLE_S16 : frame.sampleFormat;
    if (sampleFormat != AUDIO_SAMPLE_S16 && sampleFormat != AUDIO_SAMPLE_F32) {
        QV_LOG(QV_LOG_ERROR, "[HANDSET_SDK]unsupported SampleFormat[%d]", frame.sampleFormat);
        return false;
    }
    const int sampleBytes = sampleFormat == AUDIO_SAMPLE_S16 ? 2 : 4;
    if (frame.channels < 1 || frame.channels > 2 || frame.sampleRate < 8000 || frame.sampleRate > 192000 ||
        frame.length % (sampleBytes * frame.channels) != 0) {
        return false;  // not a block of whole samples
    }
    if (!m_ready || frame.type != m_type || frame.sampleRate != m_sampleRate || frame.channels != m_channels ||
        sampleFormat != m_sampleFormat || requestedSamples != m_requestedSamples) {
        if (!SetUp(frame, sampleFormat, requestedSamples, hub)) return false;
    }
    if (m_encoder->Encode(frame.data, frame.length, m_out) < 0) return false;
    for (const auto& packet : m_out.packets) hub.SendInMicDataReq(packet.data(), packet.size());
    return true;
}

void MicUplink::Release() {
    if (m_encoder) m_encoder->UnInit();
    m_encoder.reset();
    m_ready = false;
    m_type = m_sampleRate = m_channels = m_sampleFormat = m_requestedSamples = 0;
    m_out = CAudioEncodeOutParam();
}

}  // namespace handset_sdk
