#pragma once
// SDL2 presentation: the picture is scaled and converted to BGRA at the
// rectangle's size with libswscale (through the codec library), uploaded to a
// streaming texture and copied, turned, into the rectangle by SDL's software
// renderer, which needs nothing from the window but its pixels.
#include <memory>
#include <vector>

#include <SDL.h>

#include "sdl_subsystem.h"
#include "video_player/video_player.h"
#include "window_geometry.h"

namespace video_player {

class SdlVideoPlayer : public IVideoPlayInterface {
public:
    ~SdlVideoPlayer() override;

    int Init(int renderFormat, NativeWindow window, int width, int height) override;
    int Draw(const codec_interface::CVideoDecodeOutParam& picture, const DisplayRect& rect, int mode) override;
    void UnInit() override;

private:
    bool OpenTarget(NativeWindow window, int width, int height);
    // Under SdlLock().
    bool CreateTarget();
    void DestroyTarget();
    bool FitTarget(const DisplayRect& rect);

    std::unique_ptr<media_sdl::SdlSubsystem> m_video;
    WindowGeometry m_geometry;
    bool m_foreign = false;  // drawing into the application's X11 window
    NativeWindow m_window = 0;
    int m_windowWidth = 0;
    int m_windowHeight = 0;
    SDL_Window* m_sdlWindow = nullptr;
    SDL_Renderer* m_renderer = nullptr;
    SDL_Texture* m_texture = nullptr;
    int m_textureWidth = 0;
    int m_textureHeight = 0;
    std::vector<uint8_t> m_pixels;
};

}  // namespace video_player
