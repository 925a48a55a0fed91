#pragma once
// A private XCB connection of one player: the state of the application's
// window and its pixel layout. XCB reports errors per request, so a stale or
// wrong window id yields false instead of reaching Xlib's process-wide error
// handler (which exits).
#include <cstdint>

extern "C" {
#include <libavutil/pixfmt.h>
}

struct xcb_connection_t;

namespace video_player {

struct WindowState {
    int width = 0;
    int height = 0;
    // Mapped, and every ancestor mapped: false while the window or its
    // top-level is hidden or minimised.
    bool viewable = false;
    uint32_t visual = 0;
    uint8_t depth = 0;
};

// How the X server lays out the pixels of a visual in an image.
struct VisualLayout {
    AVPixelFormat format = AV_PIX_FMT_NONE;  // NONE: not one the player writes
    int bytesPerPixel = 0;
};

class XConnection {
public:
    XConnection() = default;
    ~XConnection();
    XConnection(const XConnection&) = delete;
    XConnection& operator=(const XConnection&) = delete;

    // Connects to $DISPLAY; false without a display.
    bool Open();
    void Close();
    xcb_connection_t* Get() const { return m_connection; }

    // Size, visibility and visual of window in one round trip. Every request
    // sent before it has been carried out when it returns. false when the
    // window does not exist.
    bool Query(uintptr_t window, WindowState* state);
    // The same in two halves, so that work can overlap the round trip:
    // Ask sends the requests, Answer waits for their replies.
    struct Question {
        uint32_t geometry = 0;
        uint32_t attributes = 0;
        bool sent = false;
    };
    Question Ask(uintptr_t window);
    bool Answer(const Question& question, WindowState* state);
    VisualLayout Layout(uint32_t visual, uint8_t depth) const;
    // The MIT shared-memory extension is there (and the server is local).
    bool HasShm();

private:
    xcb_connection_t* m_connection = nullptr;
};

}  // namespace video_player
