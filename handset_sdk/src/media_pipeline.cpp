#include "media_pipeline.h"

#include "common/qv_log.h"

namespace handset_sdk {

using namespace codec_interface;

namespace {

constexpr int kAudioBufferSamples = 1920;

CodecType VideoDecoderType(int format, int decodeMode) {
    const bool hardware = decodeMode == 1;
    if (format == 265) return hardware ? CODEC_VIDEO_DECODE_H265_HW : CODEC_VIDEO_DECODE_H265;
    return hardware ? CODEC_VIDEO_DECODE_H264_HW : CODEC_VIDEO_DECODE_H264;
}

}  // namespace

bool CMediaPipeline::SetUpVideoDecoder(const QvPhoneParam& video, int decodeMode, const FailReport& fail) {
    std::lock_guard<std::mutex> lock(m_videoMutex);
    if (m_videoDecoder) return true;
    if (video.codec != 264 && video.codec != 265) {
        QV_LOG(QV_LOG_ERROR, "[HANDSET_SDK]InitVideoDecode Unknow VideoFormat[%d]", video.codec);
        fail(QV_PHONE_VIDEO_DECODE_INIT_FAILED);
        return false;
    }
    auto decoder = ICodecInterface::Create(VideoDecoderType(video.codec, decodeMode));
    CVideoDecodeParam param;
    param.width = video.width;
    param.height = video.height;
    param.fps = video.fps;
    param.bitrate = video.bitrate;
    if (!decoder || decoder->Init(param) != 0) {
        QV_LOG(QV_LOG_ERROR, "[HANDSET_SDK]VideoCodec Init failed; UnInit handset_sdk!");
        fail(QV_PHONE_VIDEO_DECODE_INIT_FAILED);
        return false;
    }
    if (m_outWidth > 0 && m_outHeight > 0) decoder->SetOutputSize(m_outWidth, m_outHeight);
    m_videoDecoder = std::move(decoder);
    return true;
}

bool CMediaPipeline::SetUpVideoPlayer(const QvPhoneParam& video, int decodeMode, HWND window,
                                      CPresentThread::Shown shown, const FailReport& fail) {
    const int renderFormat = decodeMode == 1 ? PIXEL_FORMAT_NV12 : PIXEL_FORMAT_I420;
    const int width = video.width;
    const int height = video.height;
    const auto make = [renderFormat, window, width, height]() -> std::shared_ptr<video_player::IVideoPlayInterface> {
        auto player = video_player::IVideoPlayInterface::CreateVideoPlayer(video_player::VIDEO_PLAYER_SDL);
        if (!player || player->Init(renderFormat, window, width, height) != 0) return nullptr;
        return player;
    };
    if (m_present.Start(make, std::move(shown))) return true;
    QV_LOG(QV_LOG_ERROR, "[HANDSET_SDK]Video start play failed");
    fail(QV_PHONE_VIDEO_PLAY_FAILED);
    return false;
}

void CMediaPipeline::SetUpAudioDecoder(const QvAudioParam& audio, const FailReport& fail) {
    if (m_audioDecoder) return;
    auto decoder = ICodecInterface::Create(CODEC_AUDIO_DECODE_OPUS);
    CAudioDecodeParam param;
    param.sampleRate = audio.sampleRate;
    param.channels = audio.channels;
    if (!decoder || decoder->Init(param) != 0) {
        QV_LOG(QV_LOG_ERROR, "[HANDSET_SDK]AudioCodec Init failed");
        fail(QV_PHONE_AUDIO_DECODE_INIT_FAILED);
        return;
    }
    m_audioDecoder = std::move(decoder);
}

void CMediaPipeline::SetUpAudioPlayer(const QvAudioParam& audio, const FailReport& fail) {
    if (m_audioPlayer) return;
    auto player = audio_player::IAudioPlayInterface::CreateAudioPlayer();
    if (!player || player->Init(audio.channels, kAudioBufferSamples, audio.sampleRate) != 0) {
        QV_LOG(QV_LOG_ERROR, "[HANDSET_SDK]AudioPlay Init failed");
        fail(QV_PHONE_AUDIO_PLAY_FAILED);
        return;
    }
    m_audioPlayer = std::move(player);
}

int CMediaPipeline::DecodeVideo(const Buff& frame, CVideoDecodeOutParam& out) {
    std::lock_guard<std::mutex> lock(m_videoMutex);
    if (!m_videoDecoder) return -1;
    return m_videoDecoder->Decode(frame.data.data(), static_cast<int>(frame.data.size()), out);
}

bool CMediaPipeline::Present(PresentJob job) { return m_present.Submit(std::move(job)); }

void CMediaPipeline::WaitPresented() { m_present.Drain(); }

bool CMediaPipeline::CopyOut(const CVideoDecodeOutParam& picture, int pixelFormat, const uint8_t*& data, int& size) {
    const auto format = static_cast<PixelFormat>(pixelFormat);
    const int needed = ICodecInterface::ImageGetBufferSize(format, picture.width, picture.height);
    if (needed <= 0) {
        QV_LOG(QV_LOG_ERROR, "[HANDSET_SDK]ImageCopyToBuffer get[%d]; bufsize[%d]", -1, needed);
        return false;
    }
    if (m_outBuffer.size() != static_cast<size_t>(needed)) m_outBuffer.assign(static_cast<size_t>(needed), 0);
    const int copied = ICodecInterface::ImageCopyToBuffer(m_outBuffer.data(), needed, format, picture);
    if (copied != needed) {
        QV_LOG(QV_LOG_ERROR, "[HANDSET_SDK]ImageCopyToBuffer get[%d]; bufsize[%d]", copied, needed);
        return false;
    }
    data = m_outBuffer.data();
    size = needed;
    return true;
}

int CMediaPipeline::DecodeAudio(const Buff& frame, CAudioDecodeOutParam& out) {
    if (!m_audioDecoder) return -1;
    return m_audioDecoder->Decode(frame.data.data(), static_cast<int>(frame.data.size()), out);
}

bool CMediaPipeline::PlayAudio(const CAudioDecodeOutParam& block) {
    if (!m_audioPlayer) return false;
    return m_audioPlayer->Play(block) >= 0;
}

int CMediaPipeline::AudioQueuedMs() const { return m_audioPlayer ? m_audioPlayer->QueuedMs() : -1; }

int CMediaPipeline::SetOutputSize(int width, int height) {
    std::lock_guard<std::mutex> lock(m_videoMutex);
    m_outWidth = width;
    m_outHeight = height;
    if (!m_videoDecoder) return -1;
    if (width <= 0 || height <= 0) return -1;  // stored, not applied
    return m_videoDecoder->SetOutputSize(width, height) == 0 ? 0 : -1;
}

void CMediaPipeline::Release() {
    m_present.Stop();  // the player goes on its own thread
    std::shared_ptr<ICodecInterface> videoDecoder;
    {
        std::lock_guard<std::mutex> lock(m_videoMutex);
        videoDecoder.swap(m_videoDecoder);
        m_outWidth = 0;
        m_outHeight = 0;
    }
    if (videoDecoder) videoDecoder->UnInit();
    if (m_audioDecoder) m_audioDecoder->UnInit();
    if (m_audioPlayer) m_audioPlayer->UnInit();
    m_audioDecoder.reset();
    m_audioPlayer.reset();
    m_outBuffer.clear();
    m_outBuffer.shrink_to_fit();
}

}  // namespace handset_sdk
