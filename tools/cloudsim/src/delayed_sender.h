#pragma once
// Sends packages later, in the order they become due, from a thread of its
// own that starts with the first package. Stop drops what is still waiting
// and joins the thread.
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>

namespace cloudsim {

class DelayedSender {
public:
    using SendFn = std::function<void(const std::string& package)>;

    explicit DelayedSender(SendFn send) : m_send(std::move(send)) {}
    ~DelayedSender() { Stop(); }
    DelayedSender(const DelayedSender&) = delete;
    DelayedSender& operator=(const DelayedSender&) = delete;

    void SendLater(std::string package, std::chrono::milliseconds delay);
    // Never from the send function.
    void Stop();

private:
    void Run();

    SendFn m_send;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::multimap<std::chrono::steady_clock::time_point, std::string> m_due;
    bool m_stop = false;
    std::thread m_thread;
};

}  // namespace cloudsim
