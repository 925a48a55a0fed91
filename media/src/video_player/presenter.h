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
    // Readies the picture for the window: source turned by turn quarter turns
    // counter-clockwise and scaled to fill rect (rect has area and fits the
    // player's limits). May run while the window's state is still being
    // asked for. false on failure.
    virtual bool Prepare(const SourcePlanes& source, const DisplayRect& rect, int turn) = 0;
    // Shows the prepared picture in rect of the window, black around it.
    // false on failure.
    virtual bool Show(const DisplayRect& rect, const WindowState& window) = 0;
};

}  // namespace video_player
