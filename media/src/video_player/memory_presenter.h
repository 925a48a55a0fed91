#pragma once
// Without an X11 display (SDL_VIDEODRIVER=dummy or offscreen) the player
// draws into an image of its own that nobody sees, with the same conversion
// as the software path.
#include <vector>

#include "presenter.h"
#include "scaled_writer.h"

namespace video_player {

class MemoryPresenter : public Presenter {
public:
    bool Prepare(const SourcePlanes& source, const DisplayRect& rect, int turn) override;
    bool Show(const DisplayRect& rect, const WindowState& window) override;

private:
    std::vector<uint8_t> m_pixels;
    SourcePicture m_turned;
    ScaledWriter m_writer;
};

}  // namespace video_player
