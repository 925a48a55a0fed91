#pragma once
// Keeps the engine's loop polling, without sleeping, for a short while after
// a socket was ready or another thread handed over work. While data streams
// in, or an answer is due shortly, the peer's next write (or the next
// hand-over) then finds the loop awake: neither side pays for a wake-up, and
// the data is read at once.
#include <uv.h>

#include <cstdint>

namespace net_engine {

class LoopSpin {
public:
    // How long the loop keeps polling after the last activity: long enough
    // for a nearby server's answer to a small request even when the machine
    // is busy. A shorter window let such answers find the loop asleep, and
    // the wake-ups cost a tenth of the rate with one request at a time.
    static constexpr uint64_t kWindowNs = 100 * 1000;

    int Init(uv_loop_t* loop);
    // Loop thread: something happened; the loop polls on for kWindowNs.
    void NoteActivity();
    void Close();

private:
    static void OnIdle(uv_idle_t* idle);

    uv_idle_t m_idle{};
    bool m_open = false;
    uint64_t m_lastActivityNs = 0;
};

}  // namespace net_engine
