#include "frame_queue.h"

#include <algorithm>

namespace handset_sdk {

size_t FrameQueue::Push(BuffPtr buff) {
    if (!buff) return 0;
    BuffBatch dropped;  // freed outside the lock
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_consumerRunning) {
            if (buff->type == kBuffVideo && buff->keyFrame) {
                dropped.swap(m_frames);
            } else {
                const bool haveKey = std::any_of(m_frames.begin(), m_frames.end(), [](const BuffPtr& b) {
                    return b->type == kBuffVideo && b->keyFrame;
                });
                if (!haveKey) {
                    // nothing decodable would come before the next key frame
                    return buff->type == kBuffVideo ? 1 : 0;
                }
            }
        }
        m_frames.push_back(std::move(buff));
        m_depth.store(m_frames.size(), std::memory_order_relaxed);
    }
    m_cv.notify_all();
    return static_cast<size_t>(std::count_if(dropped.begin(), dropped.end(),
                                             [](const BuffPtr& b) { return b->type == kBuffVideo; }));
}

void FrameQueue::PushFront(BuffBatch frames) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_frames.insert(m_frames.begin(), frames.begin(), frames.end());
        m_depth.store(m_frames.size(), std::memory_order_relaxed);
    }
    m_cv.notify_all();
}

BuffBatch FrameQueue::WaitAndTakeAll(std::chrono::milliseconds timeout) {
    BuffBatch batch;
    std::unique_lock<std::mutex> lock(m_mutex);
    m_cv.wait_for(lock, timeout, [this] { return !m_frames.empty() || m_wake; });
    m_wake = false;
    batch.swap(m_frames);
    m_depth.store(0, std::memory_order_relaxed);
    return batch;
}

void FrameQueue::Wake() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_wake = true;
    }
    m_cv.notify_all();
}

void FrameQueue::Clear() {
    BuffBatch dropped;
    std::lock_guard<std::mutex> lock(m_mutex);
    dropped.swap(m_frames);
    m_depth.store(0, std::memory_order_relaxed);
    m_wake = false;
}

size_t FrameQueue::Size() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_frames.size();
}

void FrameQueue::SetConsumerRunning(bool running) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_consumerRunning = running;
    if (!running) DropBeforeKeyLocked();
}

void FrameQueue::DropBeforeKeyLocked() {
    auto key = std::find_if(m_frames.rbegin(), m_frames.rend(),
                            [](const BuffPtr& b) { return b->type == kBuffVideo && b->keyFrame; });
    if (key == m_frames.rend()) {
        m_frames.clear();
    } else {
        m_frames.erase(m_frames.begin(), std::prev(key.base()));
    }
    m_depth.store(m_frames.size(), std::memory_order_relaxed);
}

}  // namespace handset_sdk
