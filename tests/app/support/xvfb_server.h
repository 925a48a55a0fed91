#pragma once
// A private X server for GUI tests when no display is set.
#include <sys/types.h>

#include <string>

namespace apptest {

class XvfbServer {
public:
    ~XvfbServer();
    // Starts Xvfb on a free display number and sets DISPLAY. False when it
    // did not report ready within timeoutMs.
    bool Start(int timeoutMs = 10000);
    void Stop();

private:
    pid_t m_pid = -1;
};

}  // namespace apptest
