#pragma once
// The compressed frames between the stream link's thread and the decode
// thread. While a consumer runs nothing is dropped. While none runs the queue
// keeps only what follows the latest key frame, so a picture that is never
// shown (or whose decoding failed) cannot make it grow without bound.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

namespace handset_sdk {

enum BuffType : int32_t { kBuffVideo = 0, kBuffAudio = 1 };

struct Buff {
    int32_t type = kBuffVideo;
    std::vector<uint8_t> data;
    bool keyFrame = false;  // video only
};

using BuffPtr = std::shared_ptr<Buff>;
using BuffBatch = std::deque<BuffPtr>;

class FrameQueue {
public:
    // Pushes at the back and wakes the consumer. Returns the video frames
    // dropped to make room (none while a consumer runs).
    size_t Push(BuffPtr buff);
    // Puts frames back at the front, in their order.
    void PushFront(BuffBatch frames);
    // Waits up to timeout for frames (or a wake-up) and takes all of them.
    BuffBatch WaitAndTakeAll(std::chrono::milliseconds timeout);
    // Wakes a waiting consumer.
    void Wake();
    void Clear();
    size_t Size() const;
    // Frames queued, without taking the lock (for statistics).
    size_t Depth() const { return m_depth.load(std::memory_order_relaxed); }
    // true while a consumer drains the queue.
    void SetConsumerRunning(bool running);

private:
    void DropBeforeKeyLocked();

    mutable std::mutex m_mutex;
    std::condition_variable m_cv;
    BuffBatch m_frames;
    bool m_consumerRunning = false;
    bool m_wake = false;
    std::atomic<size_t> m_depth{0};  // m_frames.size(), kept under the lock
};

}  // namespace handset_sdk
