#pragma once
// The input of the soak: every period one numbered text to the window and
// one to the group, whatever state their links are in. Each send is filed in
// its ledger with the links that were up at that moment.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "input_ledger.h"

namespace soak {

// One stream of numbered input: how to send it, its ledger, and which of its
// links are up (bits the soak sets as links recover and clears before a fault).
struct InputTarget {
    std::function<int(const std::string& text)> send;
    InputLedger* ledger = nullptr;
    std::atomic<uint32_t>* armedLinks = nullptr;
};

class InputPacer {
public:
    InputPacer(std::vector<InputTarget> targets, int periodMs)
        : m_targets(std::move(targets)), m_periodMs(periodMs) {}
    ~InputPacer() { Stop(); }

    void Start();
    void Stop();
    // Returns once no send is under way and none will start until Resume.
    void Pause();
    void Resume();

private:
    void Run();

    const std::vector<InputTarget> m_targets;
    const int m_periodMs;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_stop = false;
    bool m_paused = false;
    bool m_idle = false;  // the thread waits in a pause
    std::thread m_thread;
};

}  // namespace soak
