#include "stream_session.h"

#include <cstdio>

#include "common/qv_log.h"
#include "link_events.h"
#include "relay_port/relay_port.h"
#include "swplay_u/video_display.h"

namespace swplay_u {
namespace {

const char kVersion[] = "swplay_u 1.0";
const uint32_t kMaxText = 1048576;
const uint32_t kCastFps = 10;
const uint32_t kCastBitrate = 512;

// A frame with a sequence parameter set or an IDR slice starts a new sequence.
bool StartsSequence(const uint8_t* data, uint32_t length) {
    for (uint32_t i = 0; i + 3 < length; ++i) {
        if (data[i] == 0 && data[i + 1] == 0 && data[i + 2] == 1) {
            const int type = data[i + 3] & 0x1F;
            if (type == 7 || type == 5) return true;
        }
    }
    return false;
}

}  // namespace

SWStreamSession::SWStreamSession(SWDataSourceListener* listener) : m_listener(listener) {}

SWStreamSession::~SWStreamSession() { Stop(); }

int SWStreamSession::Start(VideoDisplayWinBase* display) {
    if (m_link || !display || !login.set || login.host.empty() || login.port == 0 || login.deviceId.empty() ||
        login.appToken.empty()) {
        return -1;
    }
    m_display = display;
    relay_port::WsAuthParam auth{};
    common::CopyText(auth.sessionId, login.appToken.c_str());
    common::CopyText(auth.instanceNo, login.deviceId.c_str());
    common::CopyText(auth.version, kVersion);
    auth.authType = 1;
    auth.authArg = static_cast<uint32_t>(businessType);
    common::CopyText(auth.authExtra, std::to_string(login.userId).c_str());
    relay_port::WsVideoParam video{};
    video.codec = 264;
    video.width = static_cast<uint16_t>(play.width);
    video.height = static_cast<uint16_t>(play.height);
    video.fps = static_cast<uint16_t>(play.fps);
    video.bitrate = static_cast<uint32_t>(play.bitrate);
    common::CopyText(video.text1, play.extra.c_str());
    const relay_port::WsAudioParam audio{1, 48000, 2};
    const relay_port::WsSystemParam system{1, 5000, 3000, 0};
    const std::string url = "ws://" + login.host + ":" + std::to_string(login.port);

    m_counters.Reset();
    m_decoder.Start(display, &m_counters);
    m_events = std::make_shared<LinkEvents>(this);
    m_link = relay_port::IRelayPort::Create();
    if (!m_link || m_link->Init(std::to_string(login.userId).c_str(), url.c_str(), &auth, &video, &audio, &system,
                                m_events) != 0) {
        std::fprintf(stderr, "swplay_u: cannot open the stream link to %s\n", url.c_str());
        Stop();
        return -1;
    }
    return 0;
}

void SWStreamSession::Stop() {
    if (m_events) m_events->Detach();
    if (m_link) {
        m_link->UnInit();
        m_link.reset();
    }
    m_events.reset();
    m_decoder.Stop();
    m_display = nullptr;
}

int SWStreamSession::SendVideoLevel() {
    if (!m_link) return -1;
    if (castMode == SWDataSource::kScreenCastThumbnail) {
        return m_link->SendSetVideoParamReq(kCastFps, kCastBitrate, static_cast<uint32_t>(play.width),
                                            static_cast<uint32_t>(play.height));
    }
    const int chosen = level.load();
    if (chosen < 1 || static_cast<size_t>(chosen) > levels.size()) return -1;
    const SWVideoLevel& l = levels[static_cast<size_t>(chosen) - 1];
    return m_link->SendSetVideoParamReq(l.values[3], static_cast<uint32_t>(l.values[5]),
                                        static_cast<uint32_t>(l.values[1]), static_cast<uint32_t>(l.values[2]));
}

int SWStreamSession::SendTouch(int action, int x, int y) {
    if (!m_link || action < 0 || action > 2) return -1;
    const uint32_t xs[1] = {static_cast<uint32_t>(x)};
    const uint32_t ys[1] = {static_cast<uint32_t>(y)};
    return m_link->SendInTouchReq(static_cast<uint32_t>(action), xs, ys, 1);
}

int SWStreamSession::SendKey(int action, int code) {
    if (!m_link || code <= 0 || code > 255) return -1;
    const uint8_t key = static_cast<uint8_t>(code);
    if (action == 2 || action == 3) {
        if (m_link->SendInKeyReq(1, key) != 0) return -1;
        return m_link->SendInKeyReq(0, key);
    }
    if (action != 0 && action != 1) return -1;
    return m_link->SendInKeyReq(static_cast<uint8_t>(action), key);
}

int SWStreamSession::SendCopy(const std::string& text) {
    if (!m_link || text.size() > kMaxText) return -1;
    return m_link->SendCopyStringReq(text.c_str());
}

int SWStreamSession::SendInput(const std::string& text) {
    if (!m_link || text.empty() || text.size() > kMaxText) return -1;
    return m_link->SendInputStringReq(text.c_str());
}

void SWStreamSession::OnStatus(int status) {
    if (status == relay_port::WS_STATUS_CONNECTING) m_counters.OnReconnect();
    const int last = m_lastStatus.exchange(status);
    if (status == last || !m_listener) return;
    if (status == relay_port::WS_STATUS_PLAYING) {
        m_everConnected = true;
        m_listener->onConnected();
        SendVideoLevel();
    } else if (status == relay_port::WS_STATUS_DISCONNECTED) {
        m_listener->onDisconnected();
    } else if (status == relay_port::WS_STATUS_CONNECTING && m_everConnected) {
        m_listener->onReconnecting();
    }
}

void SWStreamSession::OnVideo(uint64_t flags, const uint8_t* data, uint32_t length) {
    if (data && length > 0) m_counters.OnReceived(length);
    m_decoder.Push(data, length, (flags & 1) != 0 || StartsSequence(data, length));
}

void SWStreamSession::OnScreen(int rotation) {
    if (m_display && m_display->displaySizeListener()) {
        m_display->displaySizeListener()->onScreenRotation(rotation % 2 != 0 ? 1 : 0);
    }
}

void SWStreamSession::OnCursor(bool shown) {
    if (m_listener) {
        m_listener->onOutputCursor(shown ? SWDataSourceListener::kCursorShown : SWDataSourceListener::kCursorHidden);
    }
}

}  // namespace swplay_u
