#pragma once
// Window operations of the desktop client: bringing a window to the front,
// pinning it above others, and window-manager driven moves and resizes.
#include <QWidget>

#include "platform/platform_api.h"

namespace platform {

// Raises and activates the window (what a top-most toggle does on Windows).
PLATFORM_API void BringToFront(QWidget* window);

// Keeps the window above others, or stops doing so; a visible window stays visible.
PLATFORM_API void SetStayOnTop(QWidget* window, bool onTop);

// Hands an interactive move or resize to the window manager. False when it
// cannot do it (no window manager, e.g. under a bare X server).
PLATFORM_API bool StartSystemMove(QWidget* window);
PLATFORM_API bool StartSystemResize(QWidget* window, Qt::Edges edges);

}  // namespace platform
