#include "window/window_drag.h"

#include <QCursor>

namespace app {
namespace {

struct DragState {
    bool dragging = false;
    QPoint offset;
};

DragState& State() {
    static DragState state;
    return state;
}

}  // namespace

void WindowDrag::Start(QWidget* window) {
    if (!window) {
        return;
    }
    State().offset = QCursor::pos() - window->frameGeometry().topLeft();
    State().dragging = true;
}

void WindowDrag::Stop() { State().dragging = false; }

bool WindowDrag::Dragging() { return State().dragging; }

void WindowDrag::Follow(QWidget* window, const QPoint& globalCursor) {
    if (window && State().dragging && !window->isMaximized()) {
        window->move(globalCursor - State().offset);
    }
}

}  // namespace app
