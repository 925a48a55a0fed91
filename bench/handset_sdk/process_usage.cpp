#include "process_usage.h"

#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

namespace handset_bench {

double ProcessCpuSeconds() {
    rusage usage{};
    if (getrusage(RUSAGE_SELF, &usage) != 0) return -1;
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

namespace {

// Field 0 of a thread's schedstat: nanoseconds on a CPU; 1: nanoseconds waiting for one.
double SchedstatSeconds(pid_t tid, int field) {
    if (tid <= 0) return -1;
    std::ifstream in("/proc/self/task/" + std::to_string(tid) + "/schedstat");
    long long values[2] = {-1, -1};
    if (!(in >> values[0] >> values[1]) || values[field] < 0) return -1;
    return static_cast<double>(values[field]) / 1e9;
}

}  // namespace

double ThreadCpuSeconds(pid_t tid) { return SchedstatSeconds(tid, 0); }

double ThreadRunQueueSeconds(pid_t tid) { return SchedstatSeconds(tid, 1); }

double OtherProcessCpuSeconds(pid_t pid) {
    if (pid <= 0) return -1;
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // The command name is in parentheses and may hold spaces; fields count from after it.
    const size_t close = text.rfind(')');
    if (close == std::string::npos) return -1;
    std::istringstream fields(text.substr(close + 1));
    std::string field;
    long long utime = -1, stime = -1;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14) utime = std::atoll(field.c_str());
        if (i == 15) stime = std::atoll(field.c_str());
    }
    if (utime < 0 || stime < 0) return -1;
    return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

pid_t ThreadNamed(const std::string& name) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task", error)) {
        std::ifstream in(entry.path() / "comm");
        std::string comm;
        if (std::getline(in, comm) && comm == name) return static_cast<pid_t>(std::atoi(entry.path().filename().c_str()));
    }
    return 0;
}

double ResidentMiB() {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("VmRSS:", 0) != 0) continue;
        std::istringstream fields(line.substr(6));
        double kib = -1;
        if (fields >> kib) return kib / 1024.0;
    }
    return -1;
}

}  // namespace handset_bench
