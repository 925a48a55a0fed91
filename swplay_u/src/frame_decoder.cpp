#include "frame_decoder.h"

#include <chrono>

#include "codec/codec_interface.h"
#include "stream_counters.h"
#include "swplay_u/video_display.h"

namespace swplay_u {

using codec_interface::ICodecInterface;

namespace {
int64_t MicrosNow() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
}  // namespace

FrameDecoder::~FrameDecoder() { Stop(); }

void FrameDecoder::Start(VideoDisplayWinBase* display, StreamCounters* counters) {
    Stop();
    m_counters = counters;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = false;
        m_waitKey = false;
    }
    m_thread = std::thread([this, display] { Run(display); });
}

void FrameDecoder::Push(const uint8_t* data, uint32_t length, bool keyFrame) {
    if (!data || length == 0) {
        return;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_stop) {
        return;
    }
    if (m_queue.size() >= kMaxQueued) {
        Dropped(m_queue.size());
        m_queue.clear();
        m_waitKey = true;
    }
    if (m_waitKey && !keyFrame) {
        Dropped(1);
        return;
    }
    m_waitKey = false;
    m_queue.push_back({std::vector<uint8_t>(data, data + length), keyFrame});
    if (m_counters) m_counters->OnQueueDepth(m_queue.size());
    m_wake.notify_one();
}

void FrameDecoder::Stop() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
        m_queue.clear();
    }
    m_wake.notify_all();
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

void FrameDecoder::Dropped(uint64_t frames) {
    if (m_counters) m_counters->OnQueueDrops(frames);
}

void FrameDecoder::Run(VideoDisplayWinBase* display) {
    std::shared_ptr<ICodecInterface> decoder = ICodecInterface::Create(codec_interface::CODEC_VIDEO_DECODE_H264);
    codec_interface::CVideoDecodeParam param;
    param.width = display->frameWidth();
    param.height = display->frameHeight();
    if (!decoder || decoder->Init(param) != 0) {
        return;
    }
    codec_interface::CVideoDecodeOutParam picture;
    std::vector<uint8_t> bgra;
    for (;;) {
        Frame frame;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stop || !m_queue.empty(); });
            if (m_stop) {
                break;
            }
            frame = std::move(m_queue.front());
            m_queue.pop_front();
            if (m_counters) m_counters->OnQueueDepth(m_queue.size());
        }
        const int64_t decodeStart = MicrosNow();
        const int decoded = decoder->Decode(frame.data.data(), static_cast<int>(frame.data.size()), picture);
        const int64_t decodeEnd = MicrosNow();
        if (m_counters && decoded != 0) {
            m_counters->OnDecoded(decodeEnd - decodeStart, decoded == 1, picture.width, picture.height);
        }
        if (decoded != 1) {
            continue;
        }
        const int size = ICodecInterface::ImageGetBufferSize(codec_interface::PIXEL_FORMAT_BGRA, picture.width,
                                                             picture.height);
        if (size <= 0) {
            continue;
        }
        bgra.resize(static_cast<size_t>(size));
        if (ICodecInterface::ImageCopyToBuffer(bgra.data(), size, codec_interface::PIXEL_FORMAT_BGRA, picture) ==
            size) {
            display->writeFrame(bgra.data(), picture.width, picture.height);
            if (m_counters) m_counters->OnShown(MicrosNow() - decodeEnd);
        }
    }
    decoder->UnInit();
}

}  // namespace swplay_u
