#pragma once
// Process-wide logger, thread ids and text conversion shared by every SDK
// library. Callable from any thread.
#include <functional>
#include <memory>
#include <string>

#define BASE_API __attribute__((visibility("default")))

namespace base {

class BASE_API IBaseLogInterface {
public:
    // The process-wide logger.
    static std::shared_ptr<IBaseLogInterface> GetLogInstance();

    // Slots in the order the libraries rely on.
    virtual void SetDir(const char* dir) = 0;                // 1
    virtual void SetName(const char* name) = 0;              // 2
    virtual void SetFileSizeKb(const int* kib) = 0;          // 3: rotation size
    virtual void SetLevel(const int* level) = 0;             // 4
    virtual void SetConsole(const bool* on) = 0;             // 5
    virtual void SetFlush(const int* flush) = 0;             // 6: 1 flushes every line
    virtual void SetFileCount(const int* count) = 0;         // 7: rotated files kept
    virtual int GetLevel() const = 0;                        // 8
    virtual std::string GetFilePath() const = 0;             // 9
    virtual void Log(const int& level, const long& threadId, const char* format, ...)
        __attribute__((format(printf, 4, 5))) = 0;           // 10
    virtual void Flush() = 0;                                // 11
    virtual void Reserved12() {}                             // 12
    virtual void Reserved13() {}                             // 13
    virtual void Reserved14() {}                             // 14
    virtual void Apply() = 0;                                // 15: takes the settings into use

    virtual ~IBaseLogInterface() = default;
};

// Receives every formatted line at or above the level (without the time and
// thread columns), for tests that assert log texts. An empty function removes it.
using LogCapture = std::function<void(int level, const std::string& line)>;
BASE_API void SetLogCapture(LogCapture capture);

// Kernel thread id of the caller.
BASE_API long GetTid();

class BASE_API CUnicode {
public:
    // GB18030 (a superset of GBK and GB2312) to UTF-8; invalid bytes are dropped.
    static std::string GBToUTF8(const std::string& gb);
};

}  // namespace base
