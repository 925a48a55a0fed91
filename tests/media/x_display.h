#pragma once
// An X display for the player tests: the one in $DISPLAY, else a private
// Xvfb started for the test process; and plain windows on it.
#include <sys/types.h>

#include "xvfb_peer/xvfb_server.h"

#include <cstdint>
#include <string>

typedef struct _XDisplay Display;

namespace mediatest {

class XDisplay {
public:
    ~XDisplay();
    // False when neither a display nor Xvfb is available.
    bool Open();
    Display* Get() const { return m_display; }

    // A mapped 24-bit window of this size, drawn once black; a child of
    // parent when given (else a top-level).
    unsigned long CreateWindow(int width, int height, unsigned long parent = 0);
    // Hides (unmaps) or shows (maps) a window; returns once the server did it.
    void Unmap(unsigned long window);
    void Map(unsigned long window);
    void DestroyWindow(unsigned long window);
    // The window's pixel at (x, y) as 0xRRGGBB.
    uint32_t Pixel(unsigned long window, int x, int y);

private:
    xvfb_peer::XvfbServer m_xvfb;  // closed after the display
    Display* m_display = nullptr;
};

}  // namespace mediatest
