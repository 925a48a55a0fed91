#include "xvfb_display.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace handset_test {

XvfbDisplay::~XvfbDisplay() {
    if (m_connection != nullptr) xcb_disconnect(m_connection);
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
    }
}

bool XvfbDisplay::Start(std::string* error) {
    int fds[2];
    if (pipe(fds) != 0) {
        *error = "pipe failed";
        return false;
    }
    m_pid = fork();
    if (m_pid == 0) {
        close(fds[0]);
        const std::string fd = std::to_string(fds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "800x800x24", "-nolisten", "tcp",
               static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    if (m_pid < 0) {
        close(fds[0]);
        *error = "fork failed";
        return false;
    }
    // Xvfb writes its display number and a newline once it accepts clients.
    std::string number;
    char c = 0;
    while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    if (number.empty()) {
        *error = "Xvfb did not start";
        return false;
    }
    const std::string display = ":" + number;
    setenv("DISPLAY", display.c_str(), 1);
    m_connection = xcb_connect(display.c_str(), nullptr);
    if (xcb_connection_has_error(m_connection)) {
        *error = "cannot connect to " + display;
        return false;
    }
    m_screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
    return true;
}

uint32_t XvfbDisplay::CreateWindow(int width, int height) {
    if (m_screen == nullptr) return 0;
    const xcb_window_t window = xcb_generate_id(m_connection);
    const uint32_t values[] = {m_screen->white_pixel};
    xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, window, m_screen->root, 0, 0, width, height, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, m_screen->root_visual, XCB_CW_BACK_PIXEL, values);
    xcb_map_window(m_connection, window);
    free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
    return window;
}

int64_t XvfbDisplay::Pixel(uint32_t window, int x, int y) {
    xcb_get_image_reply_t* reply = xcb_get_image_reply(
        m_connection, xcb_get_image(m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window, x, y, 1, 1, ~0u), nullptr);
    if (reply == nullptr) return -1;
    int64_t pixel = -1;
    if (xcb_get_image_data_length(reply) >= 4) {
        const uint8_t* p = xcb_get_image_data(reply);  // B, G, R, X on this little-endian server
        pixel = (static_cast<int64_t>(p[2]) << 16) | (p[1] << 8) | p[0];
    }
    free(reply);
    return pixel;
}

}  // namespace handset_test
