#include "window_video_player.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "common/qv_log.h"
#include "gl_presenter.h"
#include "memory_presenter.h"
#include "present_request.h"
#include "shm_presenter.h"

namespace video_player {

namespace {

constexpr int kMaxSide = 8192;

bool X11Requested() {
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    return !driver || !*driver || std::strcmp(driver, "x11") == 0;
}

}  // namespace

WindowVideoPlayer::~WindowVideoPlayer() { UnInit(); }

int WindowVideoPlayer::Init(int renderFormat, NativeWindow window, int width, int height) {
    UnInit();
    if (width <= 0 || height <= 0) {
        QV_LOG(60, "[VIDEO_PLAYER]bad stream size [%d*%d] format[%d]", width, height, renderFormat);
        return -1;
    }
    if (!X11Requested()) {
        m_offscreen = true;
        m_presenter = std::make_unique<MemoryPresenter>();
        QV_LOG(20, "[VIDEO_PLAYER]present path[memory]: no X11 video driver");
        return 0;
    }
    WindowState state;
    if (!m_x.Open()) {
        QV_LOG(60, "[VIDEO_PLAYER]no X display");
        return -1;
    }
    if (!m_x.Query(window, &state)) {
        QV_LOG(60, "[VIDEO_PLAYER]no X11 window [0x%lx]", static_cast<unsigned long>(window));
        m_x.Close();
        return -1;
    }
    m_window = window;
    m_presenter = ChoosePresenter(state);
    if (!m_presenter) {
        UnInit();
        return -1;
    }
    return 0;
}

std::unique_ptr<Presenter> WindowVideoPlayer::ChoosePresenter(const WindowState& state) {
    const PresentRequest request = PresentRequestFromEnvironment();
    std::string reason;
    if (request == PresentRequest::Software) {
        reason = "chosen by TESSIVO_VIDEO_PRESENT";
    } else if (request == PresentRequest::Auto && !GpuDevicePresent()) {
        reason = "no GPU device";
    } else {
        auto gl = std::make_unique<GlPresenter>();
        std::string renderer;
        if (gl->Open(m_window, request == PresentRequest::GpuAny, &renderer, &reason)) {
            QV_LOG(20, "[VIDEO_PLAYER]present path[gpu]: OpenGL renderer [%s] drew the test frame", renderer.c_str());
            return gl;
        }
    }
    auto shm = std::make_unique<ShmPresenter>();
    std::string why;
    if (!shm->Open(m_x, m_window, state, &why)) {
        QV_LOG(60, "[VIDEO_PLAYER]no present path: %s; %s", reason.c_str(), why.c_str());
        return nullptr;
    }
    QV_LOG(20, "[VIDEO_PLAYER]present path[software]: %s", reason.c_str());
    return shm;
}

int WindowVideoPlayer::Draw(const codec_interface::CVideoDecodeOutParam& picture, const DisplayRect& rect, int mode) {
    const int64_t rectWidth = static_cast<int64_t>(rect.right) - rect.left;
    const int64_t rectHeight = static_cast<int64_t>(rect.bottom) - rect.top;
    if (rectWidth <= 0 || rectHeight <= 0) return 0;
    if (!m_presenter || picture.sourceWidth <= 0 || picture.sourceHeight <= 0 || rectWidth > kMaxSide ||
        rectHeight > kMaxSide) {
        return -1;
    }
    try {
        const int turn = ((mode % 4) + 4) % 4;
        SourcePlanes source;
        if (m_offscreen) {
            WindowState state;
            state.width = static_cast<int>(rectWidth);
            state.height = static_cast<int>(rectHeight);
            state.viewable = true;
            return m_source.Read(picture, &source) && m_presenter->Prepare(source, rect, turn) &&
                           m_presenter->Show(rect, state)
                       ? 0
                       : -1;
        }
        // The window's state travels while the picture is converted; only
        // while the window was hidden is its answer awaited first.
        const XConnection::Question question = m_x.Ask(m_window);
        bool prepared = false;
        if (m_viewable) {
            if (!m_source.Read(picture, &source) || !m_presenter->Prepare(source, rect, turn)) {
                WindowState ignored;
                m_x.Answer(question, &ignored);
                return -1;
            }
            prepared = true;
        }
        WindowState state;
        if (!m_x.Answer(question, &state)) {
            if (!m_windowGone) QV_LOG(60, "[VIDEO_PLAYER]X11 window [0x%lx] is gone", static_cast<unsigned long>(m_window));
            m_windowGone = true;
            return -1;
        }
        m_windowGone = false;
        m_viewable = state.viewable;
        if (!state.viewable) return 1;  // hidden or minimised: nothing to draw
        if (!prepared && (!m_source.Read(picture, &source) || !m_presenter->Prepare(source, rect, turn))) return -1;
        return m_presenter->Show(rect, state) ? 0 : -1;
    } catch (...) {
        return -1;
    }
}

void WindowVideoPlayer::UnInit() {
    m_presenter.reset();
    m_x.Close();
    m_window = 0;
    m_offscreen = false;
    m_viewable = true;
    m_windowGone = false;
}

}  // namespace video_player
