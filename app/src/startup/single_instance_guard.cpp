#include "startup/single_instance_guard.h"

#include <QDebug>
#include <QDir>

namespace app {

QString SingleInstanceGuard::LockPath(const QString& key) {
    return QDir::tempPath() + "/" + key + ".instance.lock";
}

bool SingleInstanceGuard::Acquire(const QString& key) {
    if (m_lock.Held()) {
        return true;
    }
    if (m_lock.Acquire(LockPath(key).toStdString()) != 0) {
        return false;  // a live instance holds the lock
    }
    m_memory = std::make_unique<QSharedMemory>(key);
    if (m_memory->create(1, QSharedMemory::ReadWrite)) {
        return true;
    }
    if (m_memory->error() == QSharedMemory::AlreadyExists) {
        // Nobody alive holds the lock, so the segment is a crashed
        // instance's: attaching and detaching as its last user removes it.
        qInfo() << "removing a stale instance segment";
        if (m_memory->attach()) {
            m_memory->detach();
        }
        if (m_memory->create(1, QSharedMemory::ReadWrite)) {
            return true;
        }
    }
    // The lock alone still guarantees a single instance.
    qWarning().noquote() << "instance segment unavailable:" << m_memory->errorString();
    return true;
}

}  // namespace app
