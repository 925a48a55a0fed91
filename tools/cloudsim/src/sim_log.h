#pragma once
// The local cloud's log: "[CLOUDSIM]" lines at a level, to a sink or stderr.
#include <functional>
#include <string>

namespace cloudsim {

class SimLog {
public:
    using Sink = std::function<void(int level, const std::string& line)>;
    SimLog(int level, Sink sink);

    // printf-style; the "[CLOUDSIM]" prefix is added here.
    void Write(int level, const char* format, ...) const __attribute__((format(printf, 3, 4)));

private:
    int m_level;
    Sink m_sink;
};

enum SimLogLevel { kLogDetail = 0, kLogInfo = 20, kLogWarn = 40, kLogError = 60 };

}  // namespace cloudsim
