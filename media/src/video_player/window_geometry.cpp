#include "window_geometry.h"

#include <cstdlib>

#include <xcb/xcb.h>

namespace video_player {

WindowGeometry::~WindowGeometry() { Close(); }

bool WindowGeometry::Open() {
    Close();
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return false;
    }
    m_connection = connection;
    return true;
}

void WindowGeometry::Close() {
    if (m_connection) {
        xcb_disconnect(m_connection);
        m_connection = nullptr;
    }
}

bool WindowGeometry::Size(uintptr_t window, int* width, int* height) {
    if (!m_connection || window == 0 || window > UINT32_MAX) {
        return false;
    }
    xcb_generic_error_t* error = nullptr;
    xcb_get_geometry_reply_t* reply = xcb_get_geometry_reply(
        m_connection, xcb_get_geometry(m_connection, static_cast<xcb_drawable_t>(window)), &error);
    std::free(error);
    if (!reply) {
        return false;
    }
    *width = reply->width;
    *height = reply->height;
    std::free(reply);
    return true;
}

}  // namespace video_player
