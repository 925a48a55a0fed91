#include "gl_presenter.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "common/qv_log.h"

namespace video_player {

namespace {

constexpr unsigned kGlRenderer = 0x1F01;  // GL_RENDERER
constexpr double kAngle[4] = {0.0, 270.0, 180.0, 90.0};  // SDL turns clockwise

bool SoftwareRasteriser(std::string name) {
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
    for (const char* soft : {"llvmpipe", "softpipe", "software", "swrast", "swiftshader"}) {
        if (name.find(soft) != std::string::npos) return true;
    }
    return false;
}

int OpenGlDriverIndex() {
    for (int i = 0; i < SDL_GetNumRenderDrivers(); ++i) {
        SDL_RendererInfo info;
        if (SDL_GetRenderDriverInfo(i, &info) == 0 && std::strcmp(info.name, "opengl") == 0) return i;
    }
    return -1;
}

uint32_t TextureFormat(AVPixelFormat format) {
    switch (format) {
        case AV_PIX_FMT_YUV420P: return SDL_PIXELFORMAT_IYUV;
        case AV_PIX_FMT_NV12: return SDL_PIXELFORMAT_NV12;
        case AV_PIX_FMT_BGRA: return SDL_PIXELFORMAT_ARGB8888;
        case AV_PIX_FMT_RGBA: return SDL_PIXELFORMAT_ABGR8888;
        case AV_PIX_FMT_RGB24: return SDL_PIXELFORMAT_RGB24;
        case AV_PIX_FMT_YUYV422: return SDL_PIXELFORMAT_YUY2;
        default: return SDL_PIXELFORMAT_UNKNOWN;
    }
}

bool Near(uint32_t argb, uint32_t rgb) {
    for (int shift : {16, 8, 0}) {
        if (std::abs(static_cast<int>((argb >> shift) & 0xFF) - static_cast<int>((rgb >> shift) & 0xFF)) > 60) {
            return false;
        }
    }
    return true;
}

}  // namespace

GlPresenter::~GlPresenter() {
    if (m_video) {
        std::lock_guard<std::mutex> lock(media_sdl::SdlLock());
        DestroyTarget();
    }
}

bool GlPresenter::Open(uintptr_t window, bool acceptSoftware, std::string* renderer, std::string* reason) {
    try {
        m_video = std::make_unique<media_sdl::SdlSubsystem>(SDL_INIT_VIDEO);
    } catch (...) {
        *reason = "SDL video could not start";
        return false;
    }
    std::lock_guard<std::mutex> lock(media_sdl::SdlLock());
    if (!m_video->Ok()) {
        *reason = std::string("SDL video: ") + SDL_GetError();
        return false;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || std::strcmp(driver, "x11") != 0) {
        *reason = "no X11 video driver";
        return false;
    }
    // The test frame and the pictures use the same colour matrix as the software path.
    SDL_SetYUVConversionMode(SDL_YUV_CONVERSION_BT601);
    m_nativeWindow = window;
    if (!CreateTarget(reason)) {
        DestroyTarget();
        return false;
    }
    using GetString = const unsigned char* (*)(unsigned);
    const auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    const unsigned char* name = getString ? getString(kGlRenderer) : nullptr;
    *renderer = name ? reinterpret_cast<const char*>(name) : "unknown";
    if (!acceptSoftware && SoftwareRasteriser(*renderer)) {
        *reason = "OpenGL renderer [" + *renderer + "] is a software rasteriser";
        DestroyTarget();
        return false;
    }
    if (!TestFrame()) {
        *reason = "the test frame of OpenGL renderer [" + *renderer + "] came out wrong";
        DestroyTarget();
        return false;
    }
    return true;
}

bool GlPresenter::CreateTarget(std::string* reason) {
    // Only this window gets OpenGL; the hint goes back to what it was.
    const char* hint = SDL_GetHint(SDL_HINT_VIDEO_FOREIGN_WINDOW_OPENGL);
    const std::string previous = hint ? hint : "0";
    SDL_SetHint(SDL_HINT_VIDEO_FOREIGN_WINDOW_OPENGL, "1");
    m_window = SDL_CreateWindowFrom(reinterpret_cast<void*>(m_nativeWindow));
    SDL_SetHint(SDL_HINT_VIDEO_FOREIGN_WINDOW_OPENGL, previous.c_str());
    if (!m_window) {
        *reason = std::string("no OpenGL for the window: ") + SDL_GetError();
        return false;
    }
    const int index = OpenGlDriverIndex();
    if (index < 0) {
        *reason = "SDL has no OpenGL renderer";
        return false;
    }
    m_renderer = SDL_CreateRenderer(m_window, index, SDL_RENDERER_ACCELERATED | SDL_RENDERER_TARGETTEXTURE);
    if (!m_renderer) {
        *reason = std::string("OpenGL renderer: ") + SDL_GetError();
        return false;
    }
    return true;
}

void GlPresenter::DestroyTarget() {
    if (m_texture) SDL_DestroyTexture(m_texture);
    m_texture = nullptr;
    m_textureFormat = 0;
    m_textureWidth = m_textureHeight = 0;
    if (m_renderer) SDL_DestroyRenderer(m_renderer);
    m_renderer = nullptr;
    if (m_window) SDL_DestroyWindow(m_window);  // a foreign window itself stays
    m_window = nullptr;
}

// Four coloured quadrants, turned a quarter into a texture of their own and
// read back: proves the YUV upload, the conversion, the turn and the read.
bool GlPresenter::TestFrame() {
    constexpr int kSide = 16;
    constexpr int kOut = 32;
    struct Yuv {
        uint8_t y, u, v;
    };
    // Top left red, top right green, bottom left blue, bottom right white (BT.601, limited range).
    const Yuv colours[2][2] = {{{82, 90, 240}, {145, 54, 34}}, {{41, 240, 110}, {235, 128, 128}}};
    uint8_t luma[kSide * kSide];
    uint8_t u[kSide * kSide / 4];
    uint8_t v[kSide * kSide / 4];
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) luma[y * kSide + x] = colours[y / 8][x / 8].y;
    }
    for (int y = 0; y < kSide / 2; ++y) {
        for (int x = 0; x < kSide / 2; ++x) {
            u[y * kSide / 2 + x] = colours[y / 4][x / 4].u;
            v[y * kSide / 2 + x] = colours[y / 4][x / 4].v;
        }
    }
    SDL_Texture* target =
        SDL_CreateTexture(m_renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET, kOut, kOut);
    SDL_Texture* picture = SDL_CreateTexture(m_renderer, SDL_PIXELFORMAT_IYUV, SDL_TEXTUREACCESS_STATIC, kSide, kSide);
    uint32_t pixels[kOut * kOut] = {0};
    const SDL_Rect whole{0, 0, kOut, kOut};
    const bool drawn = target && picture &&
                       SDL_UpdateYUVTexture(picture, nullptr, luma, kSide, u, kSide / 2, v, kSide / 2) == 0 &&
                       SDL_SetRenderTarget(m_renderer, target) == 0 &&
                       SDL_SetRenderDrawColor(m_renderer, 0, 0, 0, 255) == 0 && SDL_RenderClear(m_renderer) == 0 &&
                       SDL_RenderCopyEx(m_renderer, picture, nullptr, &whole, kAngle[1], nullptr, SDL_FLIP_NONE) == 0 &&
                       SDL_RenderReadPixels(m_renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, pixels, kOut * 4) == 0;
    SDL_SetRenderTarget(m_renderer, nullptr);
    if (picture) SDL_DestroyTexture(picture);
    if (target) SDL_DestroyTexture(target);
    if (!drawn) return false;
    // A quarter counter-clockwise: green top left, white top right, red bottom left, blue bottom right.
    const auto at = [&](int x, int y) { return pixels[y * kOut + x]; };
    return Near(at(8, 8), 0x00FF00) && Near(at(24, 8), 0xFFFFFF) && Near(at(8, 24), 0xFF0000) &&
           Near(at(24, 24), 0x0000FF);
}

bool GlPresenter::Upload(const SourcePlanes& source) {
    const uint32_t format = TextureFormat(source.format);
    if (format == SDL_PIXELFORMAT_UNKNOWN) return false;
    if (!m_texture || m_textureFormat != format || m_textureWidth != source.width ||
        m_textureHeight != source.height) {
        if (m_texture) SDL_DestroyTexture(m_texture);
        m_texture = SDL_CreateTexture(m_renderer, format, SDL_TEXTUREACCESS_STREAMING, source.width, source.height);
        if (!m_texture) {
            QV_LOG(60, "[VIDEO_PLAYER]err[-1:%s] SDL_CreateTexture", SDL_GetError());
            return false;
        }
        SDL_SetTextureBlendMode(m_texture, SDL_BLENDMODE_NONE);
        SDL_SetTextureScaleMode(m_texture, SDL_ScaleModeLinear);
        m_textureFormat = format;
        m_textureWidth = source.width;
        m_textureHeight = source.height;
    }
    const uint8_t* const* p = source.planes;
    const int* s = source.strides;
    switch (format) {
        case SDL_PIXELFORMAT_IYUV: return SDL_UpdateYUVTexture(m_texture, nullptr, p[0], s[0], p[1], s[1], p[2], s[2]) == 0;
        case SDL_PIXELFORMAT_NV12: return SDL_UpdateNVTexture(m_texture, nullptr, p[0], s[0], p[1], s[1]) == 0;
        default: return SDL_UpdateTexture(m_texture, nullptr, p[0], s[0]) == 0;
    }
}

// The texture is filled in Show: a resized window rebuilds the renderer first.
bool GlPresenter::Prepare(const SourcePlanes& source, const DisplayRect&, int turn) {
    m_source = &source;
    m_turn = turn;
    return true;
}

bool GlPresenter::Show(const DisplayRect& rect, const WindowState& window) {
    if (!m_source) return false;
    const SourcePlanes& source = *m_source;
    const int turn = m_turn;
    m_source = nullptr;
    std::lock_guard<std::mutex> lock(media_sdl::SdlLock());
    int knownWidth = 0, knownHeight = 0;
    if (m_window) SDL_GetWindowSize(m_window, &knownWidth, &knownHeight);
    // SDL hears nothing of a foreign window's resizes; the drawable size it
    // renders for is taken anew when the window's size changed.
    if (!m_renderer || knownWidth != window.width || knownHeight != window.height) {
        DestroyTarget();
        std::string reason;
        if (!CreateTarget(&reason)) {
            QV_LOG(60, "[VIDEO_PLAYER]OpenGL target lost: %s", reason.c_str());
            DestroyTarget();
            return false;
        }
    }
    if (!Upload(source)) return false;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    // The texture holds the picture upright; turned by a quarter it fills the rectangle.
    const int imageWidth = turn % 2 ? height : width;
    const int imageHeight = turn % 2 ? width : height;
    const SDL_Rect target{rect.left + (width - imageWidth) / 2, rect.top + (height - imageHeight) / 2, imageWidth,
                          imageHeight};
    SDL_SetRenderDrawColor(m_renderer, 0, 0, 0, 255);
    SDL_RenderClear(m_renderer);
    if (SDL_RenderCopyEx(m_renderer, m_texture, nullptr, &target, kAngle[turn], nullptr, SDL_FLIP_NONE) != 0) {
        QV_LOG(60, "[VIDEO_PLAYER]err[-1:%s] SDL_RenderCopyEx", SDL_GetError());
        return false;
    }
    SDL_RenderPresent(m_renderer);
    return true;
}

}  // namespace video_player
