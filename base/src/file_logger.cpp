#include "file_logger.h"

#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdarg>
#include <ctime>
#include <vector>

namespace base {

namespace {

std::string TimeStamp() {
    using namespace std::chrono;
    auto now = system_clock::now();
    auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    std::time_t t = system_clock::to_time_t(now);
    std::tm tm{};
    localtime_r(&t, &tm);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d.%03d", tm.tm_year + 1900,
                  tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, static_cast<int>(ms));
    return buf;
}

void MakeDirs(const std::string& dir) {
    std::string path;
    for (size_t i = 0; i <= dir.size(); ++i) {
        if (i == dir.size() || dir[i] == '/') {
            if (!path.empty()) ::mkdir(path.c_str(), 0755);
        }
        if (i < dir.size()) path += dir[i];
    }
}

}  // namespace

FileLogger::FileLogger() {
    // Until an owner applies its settings, lines go to standard error only.
    const char* level = std::getenv("TESSIVO_LOG_LEVEL");
    if (level) m_active.level = std::atoi(level);
    m_pending = m_active;
    m_level.store(m_active.level);
}

FileLogger::~FileLogger() {
    if (m_file) std::fclose(m_file);
}

void FileLogger::SetDir(const char* dir) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_pending.dir = dir ? dir : "";
}
void FileLogger::SetName(const char* name) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_pending.name = name ? name : "";
}
void FileLogger::SetFileSizeKb(const int* kib) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (kib) m_pending.fileSizeKb = *kib;
}
void FileLogger::SetLevel(const int* level) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (level) m_pending.level = *level;
}
void FileLogger::SetConsole(const bool* on) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (on) m_pending.console = *on;
}
void FileLogger::SetFlush(const int* flush) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (flush) m_pending.flush = *flush;
}
void FileLogger::SetFileCount(const int* count) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (count) m_pending.fileCount = *count;
}

int FileLogger::GetLevel() const { return m_level.load(std::memory_order_relaxed); }

std::string FileLogger::GetFilePath() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_file ? PathOf(0) : std::string();
}

void FileLogger::Apply() {
    std::lock_guard<std::mutex> lock(m_mutex);
    bool fileChanged = m_pending.dir != m_active.dir || m_pending.name != m_active.name;
    m_active = m_pending;
    m_level.store(m_active.level);
    if (fileChanged || !m_file) OpenFile();
}

void FileLogger::SetCapture(LogCapture capture) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_capture = std::move(capture);
}

void FileLogger::Flush() {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_file) std::fflush(m_file);
}

void FileLogger::Log(const int& level, const long& threadId, const char* format, ...) {
    // WriteLine checks the level again under the mutex, against a concurrent Apply.
    if (!format || level < m_level.load(std::memory_order_relaxed)) return;
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    char small[512];
    int n = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    std::string text;
    if (n < 0) {
        text = format;
    } else if (static_cast<size_t>(n) < sizeof small) {
        text.assign(small, static_cast<size_t>(n));
    } else {
        std::vector<char> big(static_cast<size_t>(n) + 1);
        std::vsnprintf(big.data(), big.size(), format, copy);
        text.assign(big.data(), static_cast<size_t>(n));
    }
    va_end(copy);
    WriteLine(level, threadId, text);
}

void FileLogger::WriteLine(int level, long tid, const std::string& text) {
    LogCapture capture;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (level < m_active.level) return;
        std::string line = TimeStamp() + " [" + std::to_string(level) + "][" + std::to_string(tid) + "] " + text;
        if (m_file) {
            RotateIfNeeded();
            if (m_file) {
                std::fprintf(m_file, "%s\n", line.c_str());
                m_written += static_cast<long>(line.size()) + 1;
                if (m_active.flush) std::fflush(m_file);
            }
        }
        if (m_active.console && (!m_file || level >= 40)) std::fprintf(stderr, "%s\n", line.c_str());
        capture = m_capture;
    }
    // Outside the lock: a capture may log again or take its own locks.
    if (capture) capture(level, text);
}

std::string FileLogger::PathOf(int index) const {
    std::string path = m_active.dir.empty() ? std::string(".") : m_active.dir;
    path += "/" + (m_active.name.empty() ? std::string("log") : m_active.name);
    if (index > 0) path += "." + std::to_string(index);
    return path + ".log";
}

void FileLogger::OpenFile() {
    if (m_file) {
        std::fclose(m_file);
        m_file = nullptr;
    }
    if (m_active.dir.empty() && m_active.name.empty()) return;
    if (!m_active.dir.empty()) MakeDirs(m_active.dir);
    m_file = std::fopen(PathOf(0).c_str(), "ab");
    if (!m_file) {
        std::fprintf(stderr, "log: cannot open %s: errno %d\n", PathOf(0).c_str(), errno);
        return;
    }
    std::fseek(m_file, 0, SEEK_END);
    m_written = std::ftell(m_file);
}

void FileLogger::RotateIfNeeded() {
    if (m_active.fileSizeKb <= 0 || m_written < static_cast<long>(m_active.fileSizeKb) * 1024) return;
    std::fclose(m_file);
    m_file = nullptr;
    int keep = m_active.fileCount < 1 ? 1 : m_active.fileCount;
    std::remove(PathOf(keep - 1).c_str());
    for (int i = keep - 2; i >= 0; --i) std::rename(PathOf(i).c_str(), PathOf(i + 1).c_str());
    if (keep == 1) std::remove(PathOf(0).c_str());
    m_file = std::fopen(PathOf(0).c_str(), "wb");
    m_written = 0;
}

std::shared_ptr<IBaseLogInterface> IBaseLogInterface::GetLogInstance() {
    // Never destroyed: libraries may log from their own destructors at exit.
    static auto* instance = new std::shared_ptr<FileLogger>(std::make_shared<FileLogger>());
    return *instance;
}

void SetLogCapture(LogCapture capture) {
    std::static_pointer_cast<FileLogger>(IBaseLogInterface::GetLogInstance())->SetCapture(std::move(capture));
}

long GetTid() {
    thread_local long tid = static_cast<long>(::syscall(SYS_gettid));
    return tid;
}

}  // namespace base
