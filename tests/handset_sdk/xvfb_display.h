#pragma once
// A private X server (Xvfb) for tests that draw into real windows, and a
// window on it whose pixels can be read back.
#include <xcb/xcb.h>

#include <cstdint>
#include <string>
#include <vector>

namespace handset_test {

class XvfbDisplay {
public:
    ~XvfbDisplay();
    // Starts Xvfb on a free display, sets DISPLAY and connects. false on failure.
    bool Start(std::string* error);
    // A mapped top-level window of the given size; 0 on failure.
    uint32_t CreateWindow(int width, int height);
    // The pixel at (x, y) as 0xRRGGBB; -1 when it cannot be read.
    int64_t Pixel(uint32_t window, int x, int y);

private:
    pid_t m_pid = -1;
    xcb_connection_t* m_connection = nullptr;
    xcb_screen_t* m_screen = nullptr;
};

}  // namespace handset_test
