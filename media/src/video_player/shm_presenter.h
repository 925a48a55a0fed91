#pragma once
// The software path: each picture is turned (when the display mode asks) and
// then scaled and converted once by libswscale, straight into an image of the
// rectangle's size in the window's own pixel layout. The image lives in
// memory shared with the X server (MIT-SHM), which copies it into the window;
// without the extension it travels in the requests.
#include <cstdint>
#include <string>
#include <vector>

#include "presenter.h"
#include "scaled_writer.h"

namespace video_player {

class ShmPresenter : public Presenter {
public:
    ShmPresenter() = default;
    ~ShmPresenter() override;
    ShmPresenter(const ShmPresenter&) = delete;
    ShmPresenter& operator=(const ShmPresenter&) = delete;

    // false (reason filled) when the window's pixel layout is not one the
    // player writes.
    bool Open(XConnection& x, uintptr_t window, const WindowState& state, std::string* reason);
    bool Prepare(const SourcePlanes& source, const DisplayRect& rect, int turn) override;
    bool Show(const DisplayRect& rect, const WindowState& window) override;

private:
    bool EnsureImage(int width, int height);
    void ReleaseImage();
    void FillBorder(const DisplayRect& rect, const WindowState& window);
    void Put(const DisplayRect& rect, int width, int height);

    XConnection* m_x = nullptr;
    uint32_t m_window = 0;
    uint32_t m_gc = 0;
    VisualLayout m_layout;
    uint8_t m_depth = 0;
    bool m_shmAvailable = false;
    // The image: rows of m_pitch bytes, in shared memory or on the heap.
    int m_width = 0;
    int m_height = 0;
    int m_pitch = 0;
    uint8_t* m_pixels = nullptr;
    size_t m_capacity = 0;
    uint32_t m_segment = 0;  // 0: the image is on the heap
    void* m_shmAddress = nullptr;
    std::vector<uint8_t> m_heap;
    SourcePicture m_turned;
    ScaledWriter m_writer;
};

}  // namespace video_player
