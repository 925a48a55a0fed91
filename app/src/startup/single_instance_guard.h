#pragma once
// Keeps a second copy of the program from running. A shared-memory segment
// marks the running instance; a file lock beside it tells a live owner from a
// segment left behind by a crashed one (System V segments outlive their process).
#include <QSharedMemory>
#include <QString>

#include <memory>

#include "platform/instance_lock.h"

namespace app {

class SingleInstanceGuard {
public:
    // True when this process is now the only instance for key.
    bool Acquire(const QString& key);
    bool Held() const { return m_lock.Held(); }

    // The lock file used for key (inside QDir::tempPath()).
    static QString LockPath(const QString& key);

private:
    platform::InstanceLock m_lock;
    std::unique_ptr<QSharedMemory> m_memory;
};

}  // namespace app
