#include "shm_presenter.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <cstdlib>

#include <xcb/shm.h>
#include <xcb/xcb.h>

#include "common/qv_log.h"

namespace video_player {

namespace {

// Rows are whole 16-pixel blocks (libswscale writes up to that far past the
// width) and the slack covers the last row's blocks.
constexpr int kRowBlock = 16;
constexpr size_t kSlack = 256;

int16_t Coord(int64_t v) { return static_cast<int16_t>(std::clamp<int64_t>(v, INT16_MIN, INT16_MAX)); }
uint16_t Extent(int64_t v) { return static_cast<uint16_t>(std::clamp<int64_t>(v, 0, UINT16_MAX)); }

}  // namespace

ShmPresenter::~ShmPresenter() {
    ReleaseImage();
    if (m_x && m_x->Get() && m_gc) {
        xcb_free_gc(m_x->Get(), m_gc);
        xcb_flush(m_x->Get());
    }
}

bool ShmPresenter::Open(XConnection& x, uintptr_t window, const WindowState& state, std::string* reason) {
    m_layout = x.Layout(state.visual, state.depth);
    if (m_layout.format == AV_PIX_FMT_NONE) {
        *reason = "the window's pixel layout (depth " + std::to_string(state.depth) + ") is not supported";
        return false;
    }
    m_x = &x;
    m_window = static_cast<uint32_t>(window);
    m_depth = state.depth;
    m_shmAvailable = x.HasShm();
    m_gc = xcb_generate_id(x.Get());
    const uint32_t values[] = {0, 0};  // black, no exposure events
    xcb_create_gc(x.Get(), m_gc, m_window, XCB_GC_FOREGROUND | XCB_GC_GRAPHICS_EXPOSURES, values);
    return true;
}

bool ShmPresenter::EnsureImage(int width, int height) {
    const int pitch = (width + kRowBlock - 1) / kRowBlock * kRowBlock * m_layout.bytesPerPixel;
    const size_t needed = static_cast<size_t>(pitch) * static_cast<size_t>(height) + kSlack;
    m_width = width;
    m_height = height;
    m_pitch = pitch;
    // Kept while the rectangle shrinks by less than half, so small moves and
    // resizes do not remap shared memory.
    if (m_pixels && needed <= m_capacity && needed * 2 > m_capacity) return true;
    ReleaseImage();
    if (m_shmAvailable) {
        xcb_connection_t* c = m_x->Get();
        const int id = shmget(IPC_PRIVATE, needed, IPC_CREAT | 0600);
        void* address = id >= 0 ? shmat(id, nullptr, 0) : reinterpret_cast<void*>(-1);
        if (address != reinterpret_cast<void*>(-1)) {
            const uint32_t segment = xcb_generate_id(c);
            xcb_generic_error_t* error =
                xcb_request_check(c, xcb_shm_attach_checked(c, segment, static_cast<uint32_t>(id), 1));
            if (!error) {
                m_segment = segment;
                m_shmAddress = address;
                m_pixels = static_cast<uint8_t*>(address);
            } else {
                std::free(error);
                shmdt(address);
            }
        }
        if (id >= 0) shmctl(id, IPC_RMID, nullptr);  // goes once both sides detach
        if (!m_segment) {
            QV_LOG(40, "[VIDEO_PLAYER]shared memory refused; pictures go through the X requests");
            m_shmAvailable = false;
        }
    }
    if (!m_segment) {
        try {
            m_heap.assign(needed, 0);
        } catch (...) {
            return false;
        }
        m_pixels = m_heap.data();
    }
    m_capacity = needed;
    return true;
}

void ShmPresenter::ReleaseImage() {
    if (m_segment) {
        // The server keeps its own mapping until it carries out the detach,
        // which comes after any put still queued.
        xcb_shm_detach(m_x->Get(), m_segment);
        xcb_flush(m_x->Get());
        shmdt(m_shmAddress);
    }
    m_segment = 0;
    m_shmAddress = nullptr;
    m_heap.clear();
    m_heap.shrink_to_fit();
    m_pixels = nullptr;
    m_capacity = 0;
}

void ShmPresenter::FillBorder(const DisplayRect& rect, const WindowState& window) {
    const int64_t w = window.width, h = window.height;
    const int64_t left = std::clamp<int64_t>(rect.left, 0, w), right = std::clamp<int64_t>(rect.right, 0, w);
    const int64_t top = std::clamp<int64_t>(rect.top, 0, h), bottom = std::clamp<int64_t>(rect.bottom, 0, h);
    xcb_rectangle_t border[4];
    int count = 0;
    const auto add = [&](int64_t x, int64_t y, int64_t bw, int64_t bh) {
        if (bw > 0 && bh > 0) border[count++] = {Coord(x), Coord(y), Extent(bw), Extent(bh)};
    };
    add(0, 0, w, top);
    add(0, bottom, w, h - bottom);
    add(0, top, left, bottom - top);
    add(right, top, w - right, bottom - top);
    if (count > 0) xcb_poly_fill_rectangle(m_x->Get(), m_window, m_gc, static_cast<uint32_t>(count), border);
}

void ShmPresenter::Put(const DisplayRect& rect, int width, int height) {
    xcb_connection_t* c = m_x->Get();
    const int totalWidth = m_pitch / m_layout.bytesPerPixel;
    if (m_segment) {
        xcb_shm_put_image(c, m_window, m_gc, Extent(totalWidth), Extent(height), 0, 0, Extent(width), Extent(height),
                          Coord(rect.left), Coord(rect.top), m_depth, XCB_IMAGE_FORMAT_Z_PIXMAP, 0, m_segment, 0);
        return;
    }
    // Whole padded rows go out, clipped to the rectangle, in bands that fit
    // the server's request size.
    const xcb_rectangle_t clip{Coord(rect.left), Coord(rect.top), Extent(width), Extent(height)};
    xcb_set_clip_rectangles(c, XCB_CLIP_ORDERING_UNSORTED, m_gc, 0, 0, 1, &clip);
    const uint64_t maxBytes = static_cast<uint64_t>(xcb_get_maximum_request_length(c)) * 4 - 64;
    const int bandRows = std::max(1, static_cast<int>(maxBytes / static_cast<uint64_t>(m_pitch)));
    for (int row = 0; row < height; row += bandRows) {
        const int rows = std::min(bandRows, height - row);
        xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, m_window, m_gc, Extent(totalWidth), Extent(rows),
                      Coord(rect.left), Coord(static_cast<int64_t>(rect.top) + row), 0, m_depth,
                      static_cast<uint32_t>(rows) * static_cast<uint32_t>(m_pitch),
                      m_pixels + static_cast<size_t>(row) * static_cast<size_t>(m_pitch));
    }
    const uint32_t noClip = XCB_NONE;
    xcb_change_gc(c, m_gc, XCB_GC_CLIP_MASK, &noClip);
}

bool ShmPresenter::Prepare(const SourcePlanes& source, const DisplayRect& rect, int turn) {
    SourcePlanes turned;
    const SourcePlanes* planes = &source;
    if (turn != 0) {
        if (!m_turned.Turn(source, turn, &turned)) return false;
        planes = &turned;
    }
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (!EnsureImage(width, height)) return false;
    TargetImage target;
    target.pixels = m_pixels;
    target.pitch = m_pitch;
    target.format = m_layout.format;
    target.width = width;
    target.height = height;
    return m_writer.Write(*planes, target);
}

bool ShmPresenter::Show(const DisplayRect& rect, const WindowState& window) {
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (!m_pixels || width != m_width || height != m_height) return false;
    FillBorder(rect, window);
    Put(rect, width, height);
    // One round trip: the picture is in the window when Show returns, and the
    // server is done reading the image before the next picture overwrites it.
    xcb_connection_t* c = m_x->Get();
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    return true;
}

}  // namespace video_player
