#include "input_pacer.h"

#include <chrono>

namespace soak {

void InputPacer::Start() {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_thread.joinable()) return;
    m_stop = false;
    m_thread = std::thread([this] { Run(); });
}

void InputPacer::Stop() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable()) m_thread.join();
}

void InputPacer::Pause() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_paused = true;
    m_changed.notify_all();
    m_changed.wait(lock, [&] { return m_idle || m_stop || !m_thread.joinable(); });
}

void InputPacer::Resume() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_paused = false;
    }
    m_changed.notify_all();
}

void InputPacer::Run() {
    using Clock = std::chrono::steady_clock;
    const auto period = std::chrono::milliseconds(m_periodMs);
    auto next = Clock::now();
    while (true) {
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            if (m_paused && !m_stop) {
                m_idle = true;
                m_changed.notify_all();
                m_changed.wait(lock, [&] { return !m_paused || m_stop; });
                m_idle = false;
                next = Clock::now();
            }
            if (m_stop) return;
        }
        for (const InputTarget& target : m_targets) {
            SentInput input;
            input.number = target.ledger->Next();
            input.armedLinks = target.armedLinks->load();
            input.result = target.send(target.ledger->Text(input.number));
            target.ledger->Record(input);
        }
        // The pace of the input, not a wait for something: the next send is due one period on.
        next += period;
        if (next < Clock::now()) next = Clock::now();
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait_until(lock, next, [&] { return m_paused || m_stop; });
    }
}

}  // namespace soak
