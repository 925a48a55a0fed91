#include "memory_presenter.h"

namespace video_player {

bool MemoryPresenter::Show(const DisplayRect&, const WindowState&) { return true; }

bool MemoryPresenter::Prepare(const SourcePlanes& source, const DisplayRect& rect, int turn) {
    SourcePlanes turned;
    const SourcePlanes* planes = &source;
    if (turn != 0) {
        if (!m_turned.Turn(source, turn, &turned)) return false;
        planes = &turned;
    }
    TargetImage target;
    target.format = AV_PIX_FMT_BGRA;
    target.width = rect.right - rect.left;
    target.height = rect.bottom - rect.top;
    target.pitch = PaddedPitch(target.format, target.width);
    try {
        m_pixels.resize(static_cast<size_t>(target.pitch) * static_cast<size_t>(target.height) + 256);
    } catch (...) {
        return false;
    }
    target.pixels = m_pixels.data();
    return m_writer.Write(*planes, target);
}

}  // namespace video_player
