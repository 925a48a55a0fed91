#include "x_connection.h"

#include <cstdlib>

#include <xcb/shm.h>
#include <xcb/xcb.h>

namespace video_player {

namespace {

template <typename T>
struct Reply {
    T* value = nullptr;
    ~Reply() { std::free(value); }
};

}  // namespace

XConnection::~XConnection() { Close(); }

bool XConnection::Open() {
    Close();
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return false;
    }
    m_connection = connection;
    return true;
}

void XConnection::Close() {
    if (m_connection) {
        xcb_disconnect(m_connection);
        m_connection = nullptr;
    }
}

bool XConnection::Query(uintptr_t window, WindowState* state) { return Answer(Ask(window), state); }

XConnection::Question XConnection::Ask(uintptr_t window) {
    Question question;
    if (!m_connection || window == 0 || window > UINT32_MAX) return question;
    const auto id = static_cast<xcb_window_t>(window);
    question.geometry = xcb_get_geometry(m_connection, id).sequence;
    question.attributes = xcb_get_window_attributes(m_connection, id).sequence;
    question.sent = true;
    xcb_flush(m_connection);
    return question;
}

bool XConnection::Answer(const Question& question, WindowState* state) {
    if (!m_connection || !question.sent) return false;
    xcb_generic_error_t* error = nullptr;
    Reply<xcb_get_geometry_reply_t> geometry{
        xcb_get_geometry_reply(m_connection, xcb_get_geometry_cookie_t{question.geometry}, &error)};
    std::free(error);
    error = nullptr;
    Reply<xcb_get_window_attributes_reply_t> attributes{xcb_get_window_attributes_reply(
        m_connection, xcb_get_window_attributes_cookie_t{question.attributes}, &error)};
    std::free(error);
    // Errors of earlier unchecked requests (a window destroyed under a put)
    // arrive as events; nothing else is selected on this connection.
    while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) std::free(event);
    if (!geometry.value || !attributes.value) return false;
    state->width = geometry.value->width;
    state->height = geometry.value->height;
    state->depth = geometry.value->depth;
    state->viewable = attributes.value->map_state == XCB_MAP_STATE_VIEWABLE;
    state->visual = attributes.value->visual;
    return true;
}

VisualLayout XConnection::Layout(uint32_t visual, uint8_t depth) const {
    VisualLayout layout;
    if (!m_connection) return layout;
    const xcb_setup_t* setup = xcb_get_setup(m_connection);
    if (setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST) return layout;
    int bitsPerPixel = 0;
    for (auto formats = xcb_setup_pixmap_formats_iterator(setup); formats.rem; xcb_format_next(&formats)) {
        if (formats.data->depth == depth) bitsPerPixel = formats.data->bits_per_pixel;
    }
    for (auto roots = xcb_setup_roots_iterator(setup); roots.rem; xcb_screen_next(&roots)) {
        for (auto depths = xcb_screen_allowed_depths_iterator(roots.data); depths.rem; xcb_depth_next(&depths)) {
            for (auto visuals = xcb_depth_visuals_iterator(depths.data); visuals.rem; xcb_visualtype_next(&visuals)) {
                const xcb_visualtype_t* v = visuals.data;
                if (v->visual_id != visual || v->_class != XCB_VISUAL_CLASS_TRUE_COLOR) continue;
                const bool rgb = v->red_mask == 0xFF0000 && v->green_mask == 0xFF00 && v->blue_mask == 0xFF;
                const bool bgr = v->red_mask == 0xFF && v->green_mask == 0xFF00 && v->blue_mask == 0xFF0000;
                if (bitsPerPixel == 32 && (rgb || bgr)) {
                    // Bytes B, G, R, X (or R, G, B, X); the fourth byte gets 255,
                    // which is opaque where the visual has alpha.
                    layout.format = rgb ? AV_PIX_FMT_BGRA : AV_PIX_FMT_RGBA;
                    layout.bytesPerPixel = 4;
                } else if (bitsPerPixel == 24 && (rgb || bgr)) {
                    layout.format = rgb ? AV_PIX_FMT_BGR24 : AV_PIX_FMT_RGB24;
                    layout.bytesPerPixel = 3;
                } else if (bitsPerPixel == 16 && v->red_mask == 0xF800 && v->green_mask == 0x7E0 &&
                           v->blue_mask == 0x1F) {
                    layout.format = AV_PIX_FMT_RGB565LE;
                    layout.bytesPerPixel = 2;
                }
                return layout;
            }
        }
    }
    return layout;
}

bool XConnection::HasShm() {
    if (!m_connection) return false;
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(m_connection, &xcb_shm_id);
    if (!extension || !extension->present) return false;
    Reply<xcb_shm_query_version_reply_t> version{
        xcb_shm_query_version_reply(m_connection, xcb_shm_query_version(m_connection), nullptr)};
    return version.value != nullptr;
}

}  // namespace video_player
