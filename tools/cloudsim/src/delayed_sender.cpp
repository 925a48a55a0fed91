#include "delayed_sender.h"

namespace cloudsim {

void DelayedSender::SendLater(std::string package, std::chrono::milliseconds delay) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_stop) return;
    m_due.emplace(std::chrono::steady_clock::now() + delay, std::move(package));
    if (!m_thread.joinable()) m_thread = std::thread(&DelayedSender::Run, this);
    m_wake.notify_all();
}

void DelayedSender::Stop() {
    std::thread thread;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
        m_due.clear();
        thread.swap(m_thread);
    }
    m_wake.notify_all();
    if (thread.joinable()) thread.join();
}

void DelayedSender::Run() {
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_stop) {
        if (m_due.empty()) {
            m_wake.wait(lock);
            continue;
        }
        const auto first = m_due.begin();
        if (std::chrono::steady_clock::now() < first->first) {
            m_wake.wait_until(lock, first->first);
            continue;
        }
        std::string package = std::move(first->second);
        m_due.erase(first);
        lock.unlock();
        m_send(package);
        lock.lock();
    }
}

}  // namespace cloudsim
