#include "swplay_u/sw_data_source.h"

#include <string>

#include "stream_session.h"

namespace swplay_u {

SWDataSource::SWDataSource(int playerId, SWDataSourceListener* listener)
    : m_playerId(playerId), m_session(std::make_unique<SWStreamSession>(listener)) {}

SWDataSource::~SWDataSource() { m_session->Stop(); }

int SWDataSource::setLoginParams(const char* host, uint16_t port, int64_t userId, const char* appToken,
                                 const char* deviceId, int) {
    if (!host || !*host || port == 0 || !appToken || !deviceId || !*deviceId) {
        return -1;
    }
    LoginParams& login = m_session->login;
    login.host = host;
    login.port = port;
    login.userId = userId;
    login.appToken = appToken;
    login.deviceId = deviceId;
    login.set = true;
    return 0;
}

int SWDataSource::setPlayParams(const char* extra, int, int width, int height, int fps, int, int bitrate, int, int,
                                int, int, int, int) {
    if (width < 100 || height < 100 || width > 4096 || height > 4096 || fps <= 0 || fps > 60 || bitrate <= 0) {
        return -1;
    }
    PlayParams& play = m_session->play;
    play.extra = extra ? extra : "";
    play.width = width;
    play.height = height;
    play.fps = fps;
    play.bitrate = bitrate;
    return 0;
}

int SWDataSource::setBusinessType(int type) {
    m_session->businessType = type;
    return 0;
}

int SWDataSource::setVideoLevels(const SWVideoLevel* levels, int count) {
    if (!levels || count <= 0 || count > 16) {
        return -1;
    }
    m_session->levels.assign(levels, levels + count);
    return 0;
}

int SWDataSource::setVideoLevel(int level) {
    const auto& levels = m_session->levels;
    if (!levels.empty() && (level < 1 || static_cast<size_t>(level) > levels.size())) return -1;
    m_session->level = level;
    if (m_session->castMode == kScreenCastThumbnail) return 0;  // applies when the cast ends
    return m_session->Playing() ? m_session->SendVideoLevel() : 0;
}

int SWDataSource::screenCast(int mode) {
    if (mode != kScreenCastThumbnail && mode != kScreenCastFull) return -1;
    if (m_session->castMode.exchange(mode) == mode) return 0;
    return m_session->Playing() ? m_session->SendVideoLevel() : 0;
}

int SWDataSource::sendTouchEvent(int action, int pointerCount, int x, int y, float) {
    return pointerCount == 1 ? m_session->SendTouch(action, x, y) : -1;
}

int SWDataSource::sendKeyEvent(int action, int code) { return m_session->SendKey(action, code); }

int SWDataSource::copyToRemote(const char* data, int length) {
    if (!data || length < 0) return -1;
    return m_session->SendCopy(std::string(data, static_cast<size_t>(length)));
}

int SWDataSource::sendInputString(const char* data, int length) {
    if (!data || length <= 0) return -1;
    return m_session->SendInput(std::string(data, static_cast<size_t>(length)));
}

int SWDataSource::getStreamStats(SWStreamStats* stats) const {
    if (!stats) return -1;
    m_session->FillStats(*stats);
    return 0;
}

}  // namespace swplay_u
