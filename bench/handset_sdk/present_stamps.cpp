#include "present_stamps.h"

#include <poll.h>

#include <cstdlib>

#include <xcb/damage.h>
#include <xcb/xcb.h>

namespace handset_bench {

StampLog& PresentedPictures() {
    static StampLog log;
    return log;
}

PresentWatch::~PresentWatch() { Stop(); }

bool PresentWatch::Start(const std::string& display, uint32_t window, std::string* error) {
    Stop();
    m_connection = xcb_connect(display.c_str(), nullptr);
    if (xcb_connection_has_error(m_connection)) {
        *error = "no connection to " + display;
        Stop();
        return false;
    }
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(m_connection, &xcb_damage_id);
    xcb_damage_query_version_reply_t* version =
        extension && extension->present
            ? xcb_damage_query_version_reply(m_connection, xcb_damage_query_version(m_connection, 1, 1), nullptr)
            : nullptr;
    if (!version) {
        *error = "the X server has no DAMAGE extension";
        Stop();
        return false;
    }
    std::free(version);
    const uint32_t damage = xcb_generate_id(m_connection);
    // A report for every request that changes the window's pixels (one per
    // rectangle it touched, the last without the "more" flag).
    xcb_damage_create(m_connection, damage, window, XCB_DAMAGE_REPORT_LEVEL_RAW_RECTANGLES);
    xcb_flush(m_connection);
    m_stop = false;
    m_thread = std::thread(&PresentWatch::Run, this, extension->first_event + XCB_DAMAGE_NOTIFY);
    return true;
}

void PresentWatch::Run(uint8_t notifyEvent) {
    constexpr uint8_t kMore = 0x80;  // more rectangles of the same request follow
    pollfd fd{xcb_get_file_descriptor(m_connection), POLLIN, 0};
    while (!m_stop.load()) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
            const auto* notify = reinterpret_cast<const xcb_damage_notify_event_t*>(event);
            if ((event->response_type & 0x7F) == notifyEvent && (notify->level & kMore) == 0) {
                PresentedPictures().Mark();
            }
            std::free(event);
        }
        if (xcb_connection_has_error(m_connection)) return;
        poll(&fd, 1, 50);  // wakes for the next report, or to see the stop flag
    }
}

void PresentWatch::Stop() {
    m_stop = true;
    if (m_thread.joinable()) m_thread.join();
    if (m_connection) xcb_disconnect(m_connection);
    m_connection = nullptr;
}

}  // namespace handset_bench
