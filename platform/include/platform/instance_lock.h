#pragma once
// An advisory lock on a file, held while the process lives. The kernel drops
// it when the owner exits or crashes, so a stale lock never blocks a start.
#include <string>

#include "platform/platform_api.h"

namespace platform {

class PLATFORM_API InstanceLock {
public:
    InstanceLock() = default;
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Creates the file when missing and takes an exclusive lock without
    // waiting. 0 when this object holds the lock, -1 when a live owner holds it
    // (or the file cannot be opened).
    int Acquire(const std::string& path);
    void Release();
    bool Held() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

}  // namespace platform
