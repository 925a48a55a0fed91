// The decode thread: takes the queued frames, decodes them and hands them to
// the present thread (show mode) or to the application (out mode).
#include <pthread.h>

#include <chrono>

#include "codec/codec_interface.h"
#include "common/qv_log.h"
#include "qv_phone_control.h"

namespace handset_sdk {

namespace {
constexpr std::chrono::milliseconds kDecodeWait{200};

int64_t MicrosNow() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
}  // namespace

void CQVPhoneControl::DecodeThreadMain(std::weak_ptr<CQVPhoneControl> weak, StopToken stop) {
    pthread_setname_np(pthread_self(), "qv_decode");
    QV_LOG(QV_LOG_DETAIL, "[HANDSET_SDK]DecodeThread Start");
    if (auto self = weak.lock()) self->m_decodeTid.store(base::GetTid());
    while (!stop->load()) {
        auto self = weak.lock();
        if (!self || !self->DecodePass(stop)) break;
    }
    QV_LOG(QV_LOG_DETAIL, "[HANDSET_SDK]DecodeThread Stop");
}

bool CQVPhoneControl::DecodePass(const StopToken& stop) {
    auto params = Params();
    if (!params) {
        QV_LOG(QV_LOG_ERROR, "[HANDSET_SDK]OutParam or VideoParam is nullptr");
        return false;
    }
    const bool afterSizeChange = m_sizeChangedLastPass;
    m_sizeChangedLastPass = false;
    if (!SetUpPipeline(*params, afterSizeChange)) {
        // Without a decoder or player nothing will drain the queue any more.
        m_queue.SetConsumerRunning(false);
        m_queue.Clear();
        return false;
    }
    BuffBatch batch = m_queue.WaitAndTakeAll(kDecodeWait);
    while (!batch.empty()) {
        if (stop->load()) return false;
        const BuffPtr frame = batch.front();
        if (frame->type == kBuffVideo) {
            if (DetectSizeChange(*frame)) {
                // The frame and those after it wait for the next pass, which
                // first sets the pipeline up for the new size.
                m_queue.PushFront(std::move(batch));
                m_sizeChangedLastPass = true;
                return true;
            }
            batch.pop_front();
            HandleVideo(*frame, *params);
        } else {
            batch.pop_front();
            HandleAudio(*frame, *params);
        }
    }
    return true;
}

bool CQVPhoneControl::SetUpPipeline(const SdkParams& params, bool afterSizeChange) {
    const auto fail = [this](int code) { ReportFailure(code); };
    QvPhoneParam video;
    QvAudioParam audio;
    {
        std::lock_guard<std::mutex> lock(m_videoMutex);
        video = m_video;
        audio = m_audio;
    }
    const int decodeMode = m_decodeMode.load();
    if (!m_pipeline.SetUpVideoDecoder(video, decodeMode, fail)) return false;
    if (!afterSizeChange) m_pipeline.SetUpAudioDecoder(audio, fail);
    const bool show = params.out.showMode != 0;
    if (show) {
        HWND window = 0;
        {
            std::lock_guard<std::mutex> lock(m_displayMutex);
            window = m_window;
        }
        const auto shown = [this](int64_t micros) { m_stats.OnPresented(micros); };
        if (!m_pipeline.SetUpVideoPlayer(video, decodeMode, window, shown, fail)) return false;
    }
    if (!afterSizeChange && show && params.out.value12 != 0 && !m_dropAudio.load()) {
        m_pipeline.SetUpAudioPlayer(audio, fail);
    }
    return true;
}

bool CQVPhoneControl::DetectSizeChange(const Buff& frame) {
    codec_interface::h264_sps_data sps;
    {
        std::lock_guard<std::mutex> lock(m_videoMutex);
        if (m_video.codec != 264) return false;
        if (!codec_interface::ICodecInterface::H264FindSeqParameterSet(frame.data.data(),
                                                                      static_cast<int>(frame.data.size()), sps) ||
            sps.width <= 0 || sps.height <= 0 || (sps.width == m_video.width && sps.height == m_video.height)) {
            return false;
        }
        QV_LOG(QV_LOG_INFO, "[HANDSET_SDK]video change size[%d*%d]-->[%d*%d]", m_video.width, m_video.height,
               sps.width, sps.height);
        m_video.width = static_cast<uint16_t>(sps.width);
        m_video.height = static_cast<uint16_t>(sps.height);
    }
    // The pictures of the old size are in the window before the application hears of the new one.
    m_pipeline.WaitPresented();
    m_stats.OnSize(sps.width, sps.height);
    if (auto notic = Notic()) notic->OnVideoSizeChange(sps.width, sps.height);
    return true;
}

void CQVPhoneControl::HandleVideo(const Buff& frame, const SdkParams& params) {
    codec_interface::CVideoDecodeOutParam picture;
    const int64_t decodeStart = MicrosNow();
    const int decoded = m_pipeline.DecodeVideo(frame, picture);
    const int64_t decodeEnd = MicrosNow();
    if (decoded != 0) m_stats.OnDecoded(decodeEnd - decodeStart, decoded == 1 && picture.width >= 1);
    if (decoded < 1 || picture.width < 1) return;
    if (params.out.showMode != 0) {
        PresentJob job;
        {
            std::lock_guard<std::mutex> lock(m_displayMutex);
            job.rect = m_rect;
        }
        job.mode = m_displayMode.load();
        job.picture = std::move(picture);
        m_pipeline.Present(std::move(job));
        return;
    }
    const uint8_t* data = nullptr;
    int size = 0;
    if (!m_pipeline.CopyOut(picture, params.out.pixelFormat, data, size)) return;
    if (auto notic = Notic()) notic->OnVideoFrame(data, size, picture.width, picture.height);
    m_stats.OnPresented(MicrosNow() - decodeEnd);
}

void CQVPhoneControl::HandleAudio(const Buff& frame, const SdkParams& params) {
    codec_interface::CAudioDecodeOutParam block;
    if (m_pipeline.DecodeAudio(frame, block) < 1) return;
    if (params.out.showMode != 0) {
        if (params.out.value12 != 0 && m_pipeline.PlayAudio(block)) {
            m_stats.OnAudioQueued(m_pipeline.AudioQueuedMs());
            if (!m_audioPlaying) {
                m_audioPlaying = true;
                QV_LOG(QV_LOG_DETAIL, "[HANDSET_SDK]Audio play begin [%d*%d]", block.sampleRate, block.channels);
            }
        }
        return;
    }
    if (auto notic = Notic()) notic->OnAudioFrame(block.Data(), block.Bytes(), block.sampleRate, block.channels);
}

void CQVPhoneControl::ReportFailure(int code) {
    m_stats.OnError(code, HandsetStatusText(code));
    if (auto notic = Notic()) notic->OnStatus(code, HandsetStatusText(code));
    if (auto hub = Hub()) hub->ReportStat(0, 0, code, "", "");
}

}  // namespace handset_sdk
