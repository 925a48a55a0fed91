#pragma once
// A real click at the X server (through xdotool), so that the stacking of
// native windows decides which window gets it, as for a person's mouse.
#include <QPoint>

namespace apptest {

// Left click at a global screen position; false when xdotool failed.
bool ClickAtScreen(const QPoint& global);

}  // namespace apptest
