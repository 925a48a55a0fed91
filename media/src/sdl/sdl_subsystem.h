#pragma once
// SDL keeps its subsystems and video state process-wide and is not
// thread-safe across them: every player takes its subsystem through this
// counted handle and holds SdlLock() around SDL calls.
#include <cstdint>
#include <mutex>

#define MEDIA_SDL_API __attribute__((visibility("default")))

namespace media_sdl {

// The lock around every SDL video and audio call of the media players.
MEDIA_SDL_API std::mutex& SdlLock();

// Initialises one SDL subsystem (SDL_INIT_VIDEO or SDL_INIT_AUDIO) for the
// handle's lifetime. SDL is told to leave signals, the screen saver and input
// grabs alone before the first subsystem starts.
class MEDIA_SDL_API SdlSubsystem {
public:
    explicit SdlSubsystem(uint32_t flag);
    ~SdlSubsystem();
    SdlSubsystem(const SdlSubsystem&) = delete;
    SdlSubsystem& operator=(const SdlSubsystem&) = delete;

    bool Ok() const { return m_ok; }

private:
    uint32_t m_flag;
    bool m_ok = false;
};

}  // namespace media_sdl
