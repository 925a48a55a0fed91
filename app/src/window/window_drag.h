#pragma once
// The page-driven drag of the main window: "dragStart" records where the
// cursor grabbed the window; mouse moves over the web view then move it.
#include <QPoint>
#include <QWidget>

namespace app {

class WindowDrag {
public:
    static void Start(QWidget* window);  // offset := cursor − frame top-left
    static void Stop();
    static bool Dragging();
    // Moves window to cursor − offset while dragging and not maximised.
    static void Follow(QWidget* window, const QPoint& globalCursor);
};

}  // namespace app
