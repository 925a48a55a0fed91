#include "xvfb_peer/xcb_windows.h"

#include <cstdlib>

namespace xvfb_peer {

XcbWindows::~XcbWindows() {
    if (m_connection != nullptr) xcb_disconnect(m_connection);
}

bool XcbWindows::Connect(const std::string& display, std::string* error) {
    m_connection = xcb_connect(display.c_str(), nullptr);
    if (xcb_connection_has_error(m_connection)) {
        if (error) *error = "cannot connect to " + display;
        return false;
    }
    m_screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
    if (m_screen == nullptr && error) *error = display + " has no screen";
    return m_screen != nullptr;
}

uint32_t XcbWindows::CreateWindow(int width, int height, bool white) {
    if (m_screen == nullptr) return 0;
    const xcb_window_t window = xcb_generate_id(m_connection);
    const uint32_t values[] = {white ? m_screen->white_pixel : m_screen->black_pixel};
    xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, window, m_screen->root, 0, 0,
                      static_cast<uint16_t>(width), static_cast<uint16_t>(height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      m_screen->root_visual, XCB_CW_BACK_PIXEL, values);
    xcb_map_window(m_connection, window);
    // A round trip: the window exists on the server before anyone looks it up.
    free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
    return window;
}

int64_t XcbWindows::Pixel(uint32_t window, int x, int y) {
    if (m_connection == nullptr) return -1;
    xcb_get_image_reply_t* reply = xcb_get_image_reply(
        m_connection,
        xcb_get_image(m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window, static_cast<int16_t>(x),
                      static_cast<int16_t>(y), 1, 1, ~0u),
        nullptr);
    if (reply == nullptr) return -1;
    int64_t pixel = -1;
    if (xcb_get_image_data_length(reply) >= 4) {
        const uint8_t* p = xcb_get_image_data(reply);  // B, G, R, X on a little-endian server
        pixel = (static_cast<int64_t>(p[2]) << 16) | (p[1] << 8) | p[0];
    }
    free(reply);
    return pixel;
}

}  // namespace xvfb_peer
