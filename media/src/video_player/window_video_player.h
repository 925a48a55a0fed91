#pragma once
// The video player: checks the application's window each frame (drawing
// nothing while it cannot be seen) and hands the picture to the presentation
// path chosen at Init, GPU or software (see present_request.h).
#include <memory>

#include "presenter.h"
#include "source_picture.h"
#include "video_player/video_player.h"
#include "x_connection.h"

namespace video_player {

class WindowVideoPlayer : public IVideoPlayInterface {
public:
    ~WindowVideoPlayer() override;

    int Init(int renderFormat, NativeWindow window, int width, int height) override;
    int Draw(const codec_interface::CVideoDecodeOutParam& picture, const DisplayRect& rect, int mode) override;
    void UnInit() override;

private:
    // The GPU path when it may and can serve the window, else the software
    // path; logs which one runs and why. nullptr when neither can.
    std::unique_ptr<Presenter> ChoosePresenter(const WindowState& state);

    XConnection m_x;
    NativeWindow m_window = 0;
    bool m_viewable = true;     // as the last frame found the window
    bool m_windowGone = false;  // logged once until the window is back
    bool m_offscreen = false;  // no X11: an image of our own
    std::unique_ptr<Presenter> m_presenter;  // released before the connection
    SourcePicture m_source;
};

}  // namespace video_player
