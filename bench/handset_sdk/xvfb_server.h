#pragma once
// A private X server (Xvfb) with room for a whole portrait phone picture,
// and top-level windows on it for the SDK to draw into.
#include <sys/types.h>
#include <xcb/xcb.h>

#include <cstdint>
#include <string>

namespace handset_bench {

class XvfbServer {
public:
    XvfbServer() = default;
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    // Starts Xvfb on a free display with a screen of the given size, sets
    // DISPLAY and connects. false (error filled) on failure.
    bool Start(int screenWidth, int screenHeight, std::string* error);
    // A mapped window of the given size at the screen's top left; 0 on failure.
    uint32_t CreateWindow(int width, int height);
    pid_t Pid() const { return m_pid; }

private:
    pid_t m_pid = -1;
    xcb_connection_t* m_connection = nullptr;
    xcb_screen_t* m_screen = nullptr;
};

}  // namespace handset_bench
