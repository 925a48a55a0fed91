#pragma once
// The GPU path: pictures go up as YUV (or RGB) textures and SDL's OpenGL
// renderer scales, turns and converts them on the graphics card, then swaps.
// Opened only on a renderer that is hardware-accelerated (unless the caller
// accepts a software rasteriser, for tests) and that drew a test frame right.
#include <memory>
#include <string>

#include <SDL.h>

#include "presenter.h"
#include "sdl_subsystem.h"

namespace video_player {

class GlPresenter : public Presenter {
public:
    GlPresenter() = default;
    ~GlPresenter() override;
    GlPresenter(const GlPresenter&) = delete;
    GlPresenter& operator=(const GlPresenter&) = delete;

    // false with the reason when this path cannot serve the window; on
    // success renderer names the OpenGL renderer.
    bool Open(uintptr_t window, bool acceptSoftware, std::string* renderer, std::string* reason);
    bool Prepare(const SourcePlanes& source, const DisplayRect& rect, int turn) override;
    bool Show(const DisplayRect& rect, const WindowState& window) override;

private:
    // Under SdlLock().
    bool CreateTarget(std::string* reason);
    void DestroyTarget();
    bool TestFrame();
    bool Upload(const SourcePlanes& source);

    std::unique_ptr<media_sdl::SdlSubsystem> m_video;
    uintptr_t m_nativeWindow = 0;
    SDL_Window* m_window = nullptr;
    SDL_Renderer* m_renderer = nullptr;
    SDL_Texture* m_texture = nullptr;
    uint32_t m_textureFormat = 0;
    int m_textureWidth = 0;
    int m_textureHeight = 0;
    // The picture Prepare was given; drawn by Show in the same Draw call.
    const SourcePlanes* m_source = nullptr;
    int m_turn = 0;
};

}  // namespace video_player
