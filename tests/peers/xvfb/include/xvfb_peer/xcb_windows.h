#pragma once
// Plain top-level windows on an X display through XCB, and their pixels.
#include <xcb/xcb.h>

#include <cstdint>
#include <string>

namespace xvfb_peer {

class XcbWindows {
public:
    XcbWindows() = default;
    ~XcbWindows();
    XcbWindows(const XcbWindows&) = delete;
    XcbWindows& operator=(const XcbWindows&) = delete;

    // display: ":<number>"; false (error filled when given) when it cannot connect.
    bool Connect(const std::string& display, std::string* error = nullptr);
    // A mapped window at the screen's top left, filled white or black; it
    // exists on the server when this returns. 0 on failure.
    uint32_t CreateWindow(int width, int height, bool white = true);
    // The pixel at (x, y) as 0xRRGGBB; -1 when it cannot be read.
    int64_t Pixel(uint32_t window, int x, int y);

private:
    xcb_connection_t* m_connection = nullptr;
    xcb_screen_t* m_screen = nullptr;
};

}  // namespace xvfb_peer
