#include "x_display.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

namespace mediatest {

namespace {

// Starts Xvfb on a free display number; the number, or empty.
std::string StartXvfb(pid_t* pid) {
    int fds[2];
    if (::pipe(fds) != 0) return {};
    *pid = ::fork();
    if (*pid < 0) return {};
    if (*pid == 0) {
        ::close(fds[0]);
        const std::string fd = std::to_string(fds[1]);
        ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "800x600x24", "-nolisten", "tcp",
                 static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(fds[1]);
    std::string number;
    pollfd p{fds[0], POLLIN, 0};
    while (number.find('\n') == std::string::npos && ::poll(&p, 1, 10000) > 0) {
        char buf[16];
        const ssize_t n = ::read(fds[0], buf, sizeof(buf));
        if (n <= 0) break;
        number.append(buf, static_cast<size_t>(n));
    }
    ::close(fds[0]);
    if (number.find('\n') == std::string::npos) return {};
    return number.substr(0, number.find('\n'));
}

}  // namespace

XDisplay::~XDisplay() {
    if (m_display) XCloseDisplay(m_display);
    if (m_xvfb > 0) {
        ::kill(m_xvfb, SIGTERM);
        ::waitpid(m_xvfb, nullptr, 0);
    }
}

bool XDisplay::Open() {
    if (!::getenv("DISPLAY")) {
        const std::string number = StartXvfb(&m_xvfb);
        if (number.empty()) return false;
        ::setenv("DISPLAY", (":" + number).c_str(), 1);
    }
    m_display = XOpenDisplay(nullptr);
    return m_display != nullptr;
}

unsigned long XDisplay::CreateWindow(int width, int height) {
    const int screen = DefaultScreen(m_display);
    const Window window = XCreateSimpleWindow(m_display, RootWindow(m_display, screen), 0, 0, width, height, 0, 0,
                                              BlackPixel(m_display, screen));
    XSelectInput(m_display, window, StructureNotifyMask | ButtonPressMask | KeyPressMask);
    XMapWindow(m_display, window);
    XEvent event;
    do {
        XNextEvent(m_display, &event);
    } while (event.type != MapNotify);
    XSync(m_display, False);
    return window;
}

void XDisplay::DestroyWindow(unsigned long window) {
    XDestroyWindow(m_display, window);
    XSync(m_display, False);
}

uint32_t XDisplay::Pixel(unsigned long window, int x, int y) {
    XSync(m_display, False);
    XImage* image = XGetImage(m_display, window, x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) return 0xFFFFFFFF;
    const uint32_t pixel = static_cast<uint32_t>(XGetPixel(image, 0, 0)) & 0xFFFFFF;
    XDestroyImage(image);
    return pixel;
}

}  // namespace mediatest
