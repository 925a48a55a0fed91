#include "frame_queue.h"

#include <algorithm>

namespace handset_sdk {

void FrameQueue::Push(BuffPtr buff) {
    if (!buff) return;
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
                if (!haveKey) return;  // nothing decodable would come before the next key frame
            }
        }
        m_frames.push_back(std::move(buff));
    }
    m_cv.notify_all();
}

void FrameQueue::PushFront(BuffBatch frames) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_frames.insert(m_frames.begin(), frames.begin(), frames.end());
    }
    m_cv.notify_all();
}

BuffBatch FrameQueue::WaitAndTakeAll(std::chrono::milliseconds timeout) {
    BuffBatch batch;
    std::unique_lock<std::mutex> lock(m_mutex);
    m_cv.wait_for(lock, timeout, [this] { return !m_frames.empty() || m_wake; });
    m_wake = false;
    batch.swap(m_frames);
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
}

}  // namespace handset_sdk
