#include "platform/window_ops.h"

#include <QWindow>

namespace platform {

void BringToFront(QWidget* window) {
    if (!window) {
        return;
    }
    window->raise();
    window->activateWindow();
    if (QWindow* handle = window->windowHandle()) {
        handle->requestActivate();
    }
}

void SetStayOnTop(QWidget* window, bool onTop) {
    if (!window || window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop) {
        return;
    }
    const bool visible = window->isVisible();
    window->setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    if (visible) {
        window->show();  // changing flags hides a window
    }
}

bool StartSystemMove(QWidget* window) {
    QWindow* handle = window ? window->windowHandle() : nullptr;
    return handle && handle->startSystemMove();
}

bool StartSystemResize(QWidget* window, Qt::Edges edges) {
    QWindow* handle = window ? window->windowHandle() : nullptr;
    return handle && edges != Qt::Edges() && handle->startSystemResize(edges);
}

}  // namespace platform
