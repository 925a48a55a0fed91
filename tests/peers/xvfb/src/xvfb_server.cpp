#include "xvfb_peer/xvfb_server.h"

#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace xvfb_peer {

XvfbServer::~XvfbServer() { Stop(); }

bool XvfbServer::Start(int width, int height, std::string* error, int timeoutMs) {
    auto fail = [&](const char* why) {
        if (error) *error = why;
        Stop();
        return false;
    };
    if (m_pid > 0) return fail("already started");
    int fds[2];
    if (::pipe(fds) != 0) return fail("pipe failed");
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    const std::string fd = std::to_string(fds[1]);
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);  // the server goes with a process that dies early
        if (::getppid() != parent) ::_exit(127);
        ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp",
                 static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(fds[1]);
    if (pid < 0) {
        ::close(fds[0]);
        return fail("fork failed");
    }
    m_pid = pid;
    // Xvfb writes its display number and a newline once it accepts clients.
    std::string number;
    pollfd p{fds[0], POLLIN, 0};
    while (number.find('\n') == std::string::npos && ::poll(&p, 1, timeoutMs) > 0) {
        char buf[16];
        const ssize_t n = ::read(fds[0], buf, sizeof(buf));
        if (n <= 0) break;
        number.append(buf, static_cast<size_t>(n));
    }
    ::close(fds[0]);
    if (number.find('\n') == std::string::npos) return fail("Xvfb did not start");
    m_display = ":" + number.substr(0, number.find('\n'));
    ::setenv("DISPLAY", m_display.c_str(), 1);
    return true;
}

void XvfbServer::Stop() {
    if (m_pid > 0) {
        ::kill(m_pid, SIGTERM);
        ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }
    m_display.clear();
}

}  // namespace xvfb_peer
