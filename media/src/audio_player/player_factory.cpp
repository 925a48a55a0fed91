#include "sdl_audio_player.h"

namespace audio_player {

std::shared_ptr<IAudioPlayInterface> IAudioPlayInterface::CreateAudioPlayer() {
    try {
        return std::make_shared<SdlAudioPlayer>();
    } catch (...) {
        return nullptr;
    }
}

}  // namespace audio_player
