#pragma once
// The stream link's notifications, passed to the session while it is
// attached. Detach waits for a notification in progress to end.
#include <mutex>

#include "relay_port/relay_port.h"

namespace swplay_u {

class SWStreamSession;

class LinkEvents : public relay_port::IRelayPortNotic {
public:
    explicit LinkEvents(SWStreamSession* session) : m_session(session) {}
    void Detach();

    void OnConnectStatus(int status) override;
    void OnVideoData(uint64_t first, uint64_t second, const uint8_t* data, uint32_t length) override;
    void OnOutScreen(int rotation, int fps, int bitrate, int width, int height) override;
    void OnCursor(bool shown) override;
    void OnDelay(uint32_t delayMs) override;
    void OnError(int code, const char* msg) override;

private:
    std::mutex m_mutex;
    SWStreamSession* m_session;
};

}  // namespace swplay_u
