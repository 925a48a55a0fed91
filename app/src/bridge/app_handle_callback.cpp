#include "bridge/app_handle_callback.h"

#include <QCoreApplication>

namespace app {

AppHandleCallback& AppHandleCallback::Instance() {
    static QPointer<AppHandleCallback> instance;
    if (!instance) {
        instance = new AppHandleCallback(QCoreApplication::instance());
    }
    return *instance;
}

void AppHandleCallback::Register(const QString& key, const QString& actionId, QWebSocket* socket) {
    m_entries.insert(key, Entry{actionId, socket});
}

bool AppHandleCallback::Lookup(const QString& key, Entry& entry) const {
    const auto it = m_entries.constFind(key);
    if (it == m_entries.constEnd() || !it->socket) {
        return false;
    }
    entry = *it;
    return true;
}

void AppHandleCallback::Forget(QWebSocket* socket) {
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        if (!it->socket || it->socket == socket) {
            it = m_entries.erase(it);
        } else {
            ++it;
        }
    }
}

}  // namespace app
