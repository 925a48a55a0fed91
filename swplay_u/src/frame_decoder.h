#pragma once
// Decodes the stream's H.264 frames on a thread of its own and writes the
// pictures into a display. The queue is bounded: when the decoder falls
// behind, queued frames are dropped and decoding resumes at the next key frame.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace swplay_u {

class VideoDisplayWinBase;
class StreamCounters;

class FrameDecoder {
public:
    static constexpr size_t kMaxQueued = 16;

    ~FrameDecoder();
    // counters (may be null) must outlive the thread.
    void Start(VideoDisplayWinBase* display, StreamCounters* counters = nullptr);
    // Any thread. keyFrame: the frame starts a new picture sequence.
    void Push(const uint8_t* data, uint32_t length, bool keyFrame);
    // Joins the thread; queued frames are dropped.
    void Stop();

private:
    struct Frame {
        std::vector<uint8_t> data;
        bool keyFrame = false;
    };
    void Run(VideoDisplayWinBase* display);
    void Dropped(uint64_t frames);

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Frame> m_queue;
    bool m_stop = false;
    bool m_waitKey = false;
    std::thread m_thread;
    StreamCounters* m_counters = nullptr;  // set while no thread runs
};

}  // namespace swplay_u
