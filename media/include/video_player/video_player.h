#pragma once
// Presents decoded pictures in a native window handed over by the
// application (an X11 window id), inside a display rectangle, scaled.
//
// Two paths, chosen at Init and named in one log line ("[VIDEO_PLAYER]present
// path[...]"): where the display offers hardware-accelerated OpenGL and a test
// frame comes out right, YUV textures drawn by SDL's OpenGL renderer; else
// the software path, which scales and converts each picture once, straight
// into the window's pixel layout in memory shared with the X server. The
// environment variable TESSIVO_VIDEO_PRESENT ("software", "gpu", "gpu-any")
// overrides the choice (see src/video_player/present_request.h).
//
// The player only draws: it never selects input on the window, never pumps
// SDL events and never grabs the mouse or keyboard, so the application keeps
// receiving every click and key. It paints the whole window (black around
// the rectangle), so the window should be one the application does not paint
// itself, such as a native child widget reserved for the picture. While the
// window cannot be seen (unmapped, minimised, or inside a hidden top-level)
// nothing is converted or drawn.
//
// Init, Draw and UnInit are called from one thread (the SDK's present thread).
// Without an X11 display (SDL_VIDEODRIVER=dummy or offscreen) the window
// handle is ignored and the player draws into an image of its own.
#include <cstdint>
#include <memory>

#include "codec/codec_out_params.h"
#include "codec/media_api.h"

namespace video_player {

enum ENUM_VIDEO_PLAYER_TYPE : int32_t {
    VIDEO_PLAYER_SDL = 0,
};

// Window coordinates in pixels; the rectangle spans [left, right) x [top, bottom).
struct DisplayRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// Native window handle: the X11 window id (QWidget::winId()).
using NativeWindow = uintptr_t;

class MEDIA_API IVideoPlayInterface {
public:
    // nullptr for an unknown type.
    static std::shared_ptr<IVideoPlayInterface> CreateVideoPlayer(ENUM_VIDEO_PLAYER_TYPE type);

    // renderFormat: the codec PixelFormat the pictures will mostly come in
    // (2 I420 from software decoding, 5 NV12 from hardware decoding; any
    // picture the codec can convert is drawn). width, height: the stream size.
    // 0 success, -1 failure (no display, no such window).
    virtual int Init(int renderFormat, NativeWindow window, int width, int height) = 0;

    // Draws picture into rect, turned by mode quarter turns counter-clockwise
    // (0 upright, 1 the picture's top at the window's left, 2 upside down, 3
    // its top at the right), scaled to fill the rectangle. A rectangle without
    // area draws nothing and returns 0. 1 when the window cannot be seen and
    // nothing was drawn. -1 on failure (the window is gone, a bad picture).
    virtual int Draw(const codec_interface::CVideoDecodeOutParam& picture, const DisplayRect& rect, int mode) = 0;

    // Releases the window and the renderer (the window itself stays).
    virtual void UnInit() = 0;

    virtual ~IVideoPlayInterface() = default;
};

}  // namespace video_player

// The name the SDK's code knows the player by.
namespace video_play_interface = video_player;
