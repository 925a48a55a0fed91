#include "present_thread.h"

#include <pthread.h>

#include <chrono>

#include "common/qv_log.h"

namespace handset_sdk {

CPresentThread::~CPresentThread() { Stop(); }

bool CPresentThread::Start(PlayerMaker make, Shown shown) {
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_running) return true;
    m_setUp = false;
    m_stop = false;
    try {
        m_thread = std::thread([this, make = std::move(make), shown = std::move(shown)] { Run(make, shown); });
    } catch (...) {
        QV_LOG(QV_LOG_ERROR, "[HANDSET_SDK]present thread could not start");
        return false;
    }
    m_done.wait(lock, [this] { return m_setUp; });
    if (m_running) return true;
    lock.unlock();
    m_thread.join();
    return false;
}

bool CPresentThread::Submit(PresentJob job) {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_done.wait(lock, [this] { return !m_running || m_stop || !m_next; });
    if (!m_running || m_stop) return false;
    m_next = std::move(job);
    lock.unlock();
    m_work.notify_one();
    return true;
}

void CPresentThread::Drain() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_done.wait(lock, [this] { return !m_running || m_stop || (!m_next && !m_drawing); });
}

void CPresentThread::Stop() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_work.notify_all();
    m_done.notify_all();
    if (m_thread.joinable()) m_thread.join();
    std::lock_guard<std::mutex> lock(m_mutex);
    m_next.reset();
    m_running = false;
    m_setUp = false;
    m_drawing = false;
    m_stop = false;
}

void CPresentThread::Run(const PlayerMaker& make, const Shown& shown) {
    pthread_setname_np(pthread_self(), "qv_present");
    std::shared_ptr<video_player::IVideoPlayInterface> player;
    try {
        player = make();
    } catch (...) {
        player.reset();
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_setUp = true;
        m_running = player != nullptr;
    }
    m_done.notify_all();
    if (!player) return;
    for (;;) {
        std::optional<PresentJob> job;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_work.wait(lock, [this] { return m_stop || m_next; });
            if (m_stop) break;
            job.swap(m_next);
            m_drawing = true;
        }
        m_done.notify_all();
        Present(*player, *job, shown);
        job.reset();  // the decoder's frame goes back to its pool
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_drawing = false;
        }
        m_done.notify_all();
    }
    player->UnInit();
}

void CPresentThread::Present(video_player::IVideoPlayInterface& player, const PresentJob& job, const Shown& shown) {
    video_player::DisplayRect area;
    area.left = job.rect.left;
    area.top = job.rect.top;
    area.right = job.rect.right;
    area.bottom = job.rect.bottom;
    try {
        const auto start = std::chrono::steady_clock::now();
        if (player.Draw(job.picture, area, job.mode) != 0 || !shown) return;
        shown(std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start).count());
    } catch (...) {
        // A picture that cannot be drawn is skipped like one the player refused.
    }
}

}  // namespace handset_sdk
