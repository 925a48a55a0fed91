#include "sdl_subsystem.h"

#include <SDL.h>

namespace media_sdl {

std::mutex& SdlLock() {
    static std::mutex lock;
    return lock;
}

SdlSubsystem::SdlSubsystem(uint32_t flag) : m_flag(flag) {
    std::lock_guard<std::mutex> lock(SdlLock());
    // The application owns signals, the screen saver, the keyboard and the mouse.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    SDL_SetHint(SDL_HINT_GRAB_KEYBOARD, "0");
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_PING, "0");
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    // Window surfaces, where SDL makes any, go to X directly instead of
    // through an OpenGL texture (which would load the GL driver, and on
    // machines without a GPU its JIT, for nothing); the video player's GPU
    // path asks for OpenGL itself.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    m_ok = SDL_InitSubSystem(flag) == 0;
}

SdlSubsystem::~SdlSubsystem() {
    if (m_ok) {
        std::lock_guard<std::mutex> lock(SdlLock());
        SDL_QuitSubSystem(m_flag);
    }
}

}  // namespace media_sdl
