#pragma once
// The logger behind IBaseLogInterface: level filter, optional console copy,
// file output with size-based rotation.
#include <atomic>
#include <cstdio>
#include <mutex>
#include <string>

#include "base/base_log.h"

namespace base {

class FileLogger final : public IBaseLogInterface {
public:
    FileLogger();
    ~FileLogger() override;

    void SetDir(const char* dir) override;
    void SetName(const char* name) override;
    void SetFileSizeKb(const int* kib) override;
    void SetLevel(const int* level) override;
    void SetConsole(const bool* on) override;
    void SetFlush(const int* flush) override;
    void SetFileCount(const int* count) override;
    int GetLevel() const override;
    std::string GetFilePath() const override;
    void Log(const int& level, const long& threadId, const char* format, ...) override;
    void Flush() override;
    void Apply() override;

    void SetCapture(LogCapture capture);

private:
    struct Settings {
        std::string dir;
        std::string name;
        int fileSizeKb = 1024;
        int level = 20;
        bool console = true;
        int flush = 0;
        int fileCount = 5;
    };

    void WriteLine(int level, long tid, const std::string& text);
    void OpenFile();
    void RotateIfNeeded();
    std::string PathOf(int index) const;

    mutable std::mutex m_mutex;
    // m_active.level, readable without the mutex: most lines are below it.
    std::atomic<int> m_level{20};
    Settings m_pending;
    Settings m_active;
    FILE* m_file = nullptr;
    long m_written = 0;
    LogCapture m_capture;
};

}  // namespace base
