#pragma once
// One way of bringing pictures into the window: the software path (libswscale
// into shared memory the X server reads) or the GPU path (YUV textures drawn
// by an accelerated OpenGL renderer).
#include "source_picture.h"
#include "video_player/video_player.h"
#include "x_connection.h"

namespace video_player {

class Presenter {
public:
    virtual ~Presenter() = default;
    // Draws source turned by turn quarter turns counter-clockwise, scaled to
    // fill rect, in a window of window's size (black around the rectangle).
    // rect has area and fits the player's limits. false on failure.
    virtual bool Draw(const SourcePlanes& source, const DisplayRect& rect, int turn, const WindowState& window) = 0;
};

}  // namespace video_player
