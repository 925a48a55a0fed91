#include "sdl_video_player.h"

#include <algorithm>
#include <cstring>

#include "codec/codec_interface.h"
#include "common/qv_log.h"

namespace video_player {

namespace {

constexpr int kMaxSide = 8192;

}  // namespace

SdlVideoPlayer::~SdlVideoPlayer() { UnInit(); }

int SdlVideoPlayer::Init(int renderFormat, NativeWindow window, int width, int height) {
    UnInit();
    if (width <= 0 || height <= 0) {
        QV_LOG(60, "[VIDEO_PLAYER]bad stream size [%d*%d] format[%d]", width, height, renderFormat);
        return -1;
    }
    try {
        m_video = std::make_unique<media_sdl::SdlSubsystem>(SDL_INIT_VIDEO);
    } catch (...) {
        return -1;
    }
    if (!OpenTarget(window, width, height)) {
        m_geometry.Close();
        m_video.reset();  // takes the SDL lock itself
        return -1;
    }
    return 0;
}

bool SdlVideoPlayer::OpenTarget(NativeWindow window, int width, int height) {
    std::lock_guard<std::mutex> lock(media_sdl::SdlLock());
    if (!m_video->Ok()) {
        QV_LOG(60, "[VIDEO_PLAYER]err[-1:%s] SDL_InitSubSystem video", SDL_GetError());
        return false;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    m_foreign = driver && std::strcmp(driver, "x11") == 0;
    m_window = window;
    if (m_foreign) {
        if (!m_geometry.Open() || !m_geometry.Size(window, &m_windowWidth, &m_windowHeight)) {
            QV_LOG(60, "[VIDEO_PLAYER]no X11 window [0x%lx]", static_cast<unsigned long>(window));
            return false;
        }
    } else {
        m_windowWidth = std::min(width, kMaxSide);
        m_windowHeight = std::min(height, kMaxSide);
    }
    if (!CreateTarget()) {
        DestroyTarget();
        return false;
    }
    return true;
}

bool SdlVideoPlayer::CreateTarget() {
    m_sdlWindow = m_foreign ? SDL_CreateWindowFrom(reinterpret_cast<void*>(m_window))
                            : SDL_CreateWindow("video", 0, 0, m_windowWidth, m_windowHeight, SDL_WINDOW_HIDDEN);
    if (!m_sdlWindow) {
        QV_LOG(60, "[VIDEO_PLAYER]err[-1:%s] SDL_CreateWindow", SDL_GetError());
        return false;
    }
    m_renderer = SDL_CreateRenderer(m_sdlWindow, -1, SDL_RENDERER_SOFTWARE);
    if (!m_renderer) {
        QV_LOG(60, "[VIDEO_PLAYER]err[-1:%s] SDL_CreateRenderer", SDL_GetError());
        return false;
    }
    return true;
}

void SdlVideoPlayer::DestroyTarget() {
    if (m_texture) {
        SDL_DestroyTexture(m_texture);
        m_texture = nullptr;
    }
    m_textureWidth = m_textureHeight = 0;
    if (m_renderer) {
        SDL_DestroyRenderer(m_renderer);
        m_renderer = nullptr;
    }
    if (m_sdlWindow) {
        SDL_DestroyWindow(m_sdlWindow);  // a foreign window itself stays
        m_sdlWindow = nullptr;
    }
}

// SDL learns nothing of a foreign window's resizes (it selects no events on
// it), so the size is checked each frame and the target rebuilt on a change.
bool SdlVideoPlayer::FitTarget(const DisplayRect& rect) {
    int width = m_windowWidth;
    int height = m_windowHeight;
    if (m_foreign) {
        if (!m_geometry.Size(m_window, &width, &height)) {
            QV_LOG(60, "[VIDEO_PLAYER]X11 window [0x%lx] is gone", static_cast<unsigned long>(m_window));
            return false;
        }
    } else {
        width = std::clamp(std::max(width, rect.right), 1, kMaxSide);
        height = std::clamp(std::max(height, rect.bottom), 1, kMaxSide);
    }
    if (width == m_windowWidth && height == m_windowHeight && m_renderer) {
        return true;
    }
    m_windowWidth = width;
    m_windowHeight = height;
    if (!m_foreign && m_sdlWindow) {
        SDL_SetWindowSize(m_sdlWindow, width, height);
    }
    DestroyTarget();
    return CreateTarget();
}

int SdlVideoPlayer::Draw(const codec_interface::CVideoDecodeOutParam& picture, const DisplayRect& rect, int mode) {
    const int64_t rectWidth = static_cast<int64_t>(rect.right) - rect.left;
    const int64_t rectHeight = static_cast<int64_t>(rect.bottom) - rect.top;
    if (rectWidth <= 0 || rectHeight <= 0) {
        return 0;
    }
    if (!m_video || picture.sourceWidth <= 0 || picture.sourceHeight <= 0 || rectWidth > kMaxSide ||
        rectHeight > kMaxSide) {
        return -1;
    }
    try {
        const int turn = ((mode % 4) + 4) % 4;
        const int width = static_cast<int>(rectWidth);
        const int height = static_cast<int>(rectHeight);
        // The texture holds the picture upright; turned by a quarter it fills the rectangle.
        const int imageWidth = turn % 2 ? height : width;
        const int imageHeight = turn % 2 ? width : height;
        const int size = codec_interface::ICodecInterface::ImageGetBufferSize(codec_interface::PIXEL_FORMAT_BGRA,
                                                                               imageWidth, imageHeight);
        m_pixels.resize(static_cast<size_t>(size));
        if (codec_interface::ICodecInterface::ImageCopyToBuffer(m_pixels.data(), size,
                                                                codec_interface::PIXEL_FORMAT_BGRA, picture,
                                                                imageWidth, imageHeight) != size) {
            return -1;
        }
        std::lock_guard<std::mutex> lock(media_sdl::SdlLock());
        if (!FitTarget(rect)) {
            return -1;
        }
        if (!m_texture || m_textureWidth != imageWidth || m_textureHeight != imageHeight) {
            if (m_texture) {
                SDL_DestroyTexture(m_texture);
            }
            m_texture = SDL_CreateTexture(m_renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                          imageWidth, imageHeight);
            if (!m_texture) {
                QV_LOG(60, "[VIDEO_PLAYER]err[-1:%s] SDL_CreateTexture", SDL_GetError());
                return -1;
            }
            SDL_SetTextureBlendMode(m_texture, SDL_BLENDMODE_NONE);
            m_textureWidth = imageWidth;
            m_textureHeight = imageHeight;
        }
        if (SDL_UpdateTexture(m_texture, nullptr, m_pixels.data(), imageWidth * 4) != 0) {
            return -1;
        }
        static constexpr double kAngle[4] = {0.0, 270.0, 180.0, 90.0};  // SDL turns clockwise
        const SDL_Rect target{rect.left + (width - imageWidth) / 2, rect.top + (height - imageHeight) / 2,
                              imageWidth, imageHeight};
        SDL_SetRenderDrawColor(m_renderer, 0, 0, 0, 255);
        SDL_RenderClear(m_renderer);
        if (SDL_RenderCopyEx(m_renderer, m_texture, nullptr, &target, kAngle[turn], nullptr, SDL_FLIP_NONE) != 0) {
            QV_LOG(60, "[VIDEO_PLAYER]err[-1:%s] SDL_RenderCopyEx", SDL_GetError());
            return -1;
        }
        SDL_RenderPresent(m_renderer);
        return 0;
    } catch (...) {
        return -1;
    }
}

void SdlVideoPlayer::UnInit() {
    if (m_video) {
        std::lock_guard<std::mutex> lock(media_sdl::SdlLock());
        DestroyTarget();
    }
    m_geometry.Close();
    m_video.reset();
    m_pixels.clear();
}

}  // namespace video_player
