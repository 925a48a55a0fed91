#pragma once
// Size queries of a foreign X11 window over a private XCB connection. XCB
// reports errors per request, so a stale or wrong window id yields false
// instead of reaching Xlib's process-wide error handler (which exits).
#include <cstdint>

struct xcb_connection_t;

namespace video_player {

class WindowGeometry {
public:
    WindowGeometry() = default;
    ~WindowGeometry();
    WindowGeometry(const WindowGeometry&) = delete;
    WindowGeometry& operator=(const WindowGeometry&) = delete;

    // Connects to $DISPLAY; false without a display.
    bool Open();
    void Close();
    // The window's current size; false when the window does not exist.
    bool Size(uintptr_t window, int* width, int* height);

private:
    xcb_connection_t* m_connection = nullptr;
};

}  // namespace video_player
