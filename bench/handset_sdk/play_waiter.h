#pragma once
// Waits on the caller's thread for the play result a notification thread
// reports.
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace handset_bench {

class PlayWaiter {
public:
    void Played(int code) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_code = code;
        m_played = true;
        m_changed.notify_all();
    }
    // The play result's code; -1 when none came within 15 s.
    int Wait() {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (!m_changed.wait_for(lock, std::chrono::seconds(15), [this] { return m_played; })) return -1;
        return m_code;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_played = false;
    int m_code = -1;
};

}  // namespace handset_bench
