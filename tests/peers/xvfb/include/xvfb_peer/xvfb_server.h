#pragma once
// Starts Xvfb on a free display number and points DISPLAY at it; the server
// ends with this object (or with the process, should that die first).
#include <sys/types.h>

#include <string>

namespace xvfb_peer {

class XvfbServer {
public:
    XvfbServer() = default;
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    // A 24-bit screen of width x height. False (error filled when given)
    // when the server did not report ready within timeoutMs.
    bool Start(int width, int height, std::string* error = nullptr, int timeoutMs = 10000);
    void Stop();
    // ":<number>" while it runs.
    const std::string& Display() const { return m_display; }
    pid_t Pid() const { return m_pid; }

private:
    pid_t m_pid = -1;
    std::string m_display;
};

}  // namespace xvfb_peer
