#include "x_display.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stdlib.h>

namespace mediatest {


XDisplay::~XDisplay() {
    if (m_display) XCloseDisplay(m_display);
}

bool XDisplay::Open() {
    if (!::getenv("DISPLAY") && !m_xvfb.Start(800, 600)) return false;
    m_display = XOpenDisplay(nullptr);
    return m_display != nullptr;
}

unsigned long XDisplay::CreateWindow(int width, int height, unsigned long parent) {
    const int screen = DefaultScreen(m_display);
    const Window window = XCreateSimpleWindow(m_display, parent ? parent : RootWindow(m_display, screen), 0, 0, width,
                                              height, 0, 0, BlackPixel(m_display, screen));
    XSelectInput(m_display, window, StructureNotifyMask | ButtonPressMask | KeyPressMask);
    XMapWindow(m_display, window);
    XEvent event;
    do {
        XNextEvent(m_display, &event);
    } while (event.type != MapNotify || event.xmap.window != window);
    XSync(m_display, False);
    return window;
}

void XDisplay::Unmap(unsigned long window) {
    XUnmapWindow(m_display, window);
    XSync(m_display, False);
}

void XDisplay::Map(unsigned long window) {
    XMapWindow(m_display, window);
    XSync(m_display, False);
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
