#include "window_video_player.h"

namespace video_player {

std::shared_ptr<IVideoPlayInterface> IVideoPlayInterface::CreateVideoPlayer(ENUM_VIDEO_PLAYER_TYPE type) {
    if (type != VIDEO_PLAYER_SDL) {
        return nullptr;
    }
    try {
        return std::make_shared<WindowVideoPlayer>();
    } catch (...) {
        return nullptr;
    }
}

}  // namespace video_player
