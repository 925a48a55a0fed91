#pragma once
// The stream of one cloud phone: login to the stream server at host:port,
// what to play, and the user's input. Input calls before the player started
// the source, or after it stopped, do nothing and return -1.
#include <cstdint>
#include <memory>

#include "swplay_u/sw_stream_stats.h"
#include "swplay_u/swplay_api.h"

namespace swplay_u {

// Events of a data source; called on the SDK's network thread.
class SWPLAY_U_API SWDataSourceListener {
public:
    virtual ~SWDataSourceListener() = default;
    virtual void onConnected() {}
    virtual void onDisconnected() {}
    virtual void onReconnecting() {}
    // The phone's text cursor: kCursorShown when a text field takes input,
    // kCursorHidden when it stops.
    virtual void onOutputCursor(int code) {}

    static constexpr int kCursorShown = 32767;
    static constexpr int kCursorHidden = 32764;
};

// One video level: scene (a tag the caller keeps; not read here), width,
// height, fps, gop, bitrate (kbit/s), quality, min level, max level,
// reserved, reserved.
struct SWVideoLevel {
    int values[11];
};

class SWStreamSession;

class SWPLAY_U_API SWDataSource {
public:
    // listener must outlive the source's stream (until stop or destruction).
    SWDataSource(int playerId, SWDataSourceListener* listener);
    ~SWDataSource();
    SWDataSource(const SWDataSource&) = delete;
    SWDataSource& operator=(const SWDataSource&) = delete;

    int playerId() const { return m_playerId; }

    // userId is the account, appToken the login token the account holds for
    // deviceId; flags are reserved (0).
    int setLoginParams(const char* host, uint16_t port, int64_t userId, const char* appToken, const char* deviceId,
                       int flags);
    // extra text, codec (2 H.264), width, height, fps, gop, bitrate (kbit/s),
    // max delay ms, audio on, video on, reserved, reserved, reserved.
    int setPlayParams(const char* extra, int codec, int width, int height, int fps, int gop, int bitrate,
                      int maxDelayMs, int audio, int video, int p11, int p12, int p13);
    int setBusinessType(int type);
    int setVideoLevels(const SWVideoLevel* levels, int count);
    // Picks level n, the n-th of the levels given (from 1); sent at once
    // while playing. -1 for a level that is not among them.
    int setVideoLevel(int level);
    // Screen-cast mode: kScreenCastThumbnail asks the phone for a small-rate
    // picture (10 fps, 512 kbit/s, no level changes) for sources that are
    // watched beside another one; kScreenCastFull (the default) plays the
    // chosen level. Sent at once while playing.
    int screenCast(int mode);
    static constexpr int kScreenCastThumbnail = 0;
    static constexpr int kScreenCastFull = 1;

    // action 0 down, 1 up, 2 move; phone coordinates.
    int sendTouchEvent(int action, int pointerCount, int x, int y, float pressure);
    // action 1 down, 0 up, 2 or 3 down and up (a key typed); code a Linux
    // input key code.
    int sendKeyEvent(int action, int code);
    int copyToRemote(const char* data, int length);
    int sendInputString(const char* data, int length);

    // The stream's figures (sw_stream_stats.h); 0, or -1 for null.
    int getStreamStats(SWStreamStats* stats) const;

    // Used by the player.
    SWStreamSession* session() const { return m_session.get(); }

private:
    int m_playerId;
    std::unique_ptr<SWStreamSession> m_session;
};

}  // namespace swplay_u
