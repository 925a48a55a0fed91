#pragma once
// Pictures presented in an X window, whichever path the SDK's player takes:
// the X server's damage reports for the window, read on a thread of this
// watcher. A report means the server has changed the window's pixels.
#include <atomic>
#include <string>
#include <thread>

#include "stamp_log.h"

struct xcb_connection_t;

namespace handset_bench {

StampLog& PresentedPictures();

class PresentWatch {
public:
    PresentWatch() = default;
    ~PresentWatch();
    PresentWatch(const PresentWatch&) = delete;
    PresentWatch& operator=(const PresentWatch&) = delete;

    // Starts watching window on display (":<number>"); false (error filled)
    // without the DAMAGE extension.
    bool Start(const std::string& display, uint32_t window, std::string* error);
    void Stop();

private:
    void Run(uint8_t notifyEvent);

    xcb_connection_t* m_connection = nullptr;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

}  // namespace handset_bench
