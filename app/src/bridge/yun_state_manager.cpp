#include "bridge/yun_state_manager.h"

#include <QCoreApplication>
#include <QDebug>
#include <QUrl>

#include <cstdio>

namespace app {

YunStateManager& YunStateManager::Instance() {
    static QPointer<YunStateManager> instance;
    if (!instance) {
        instance = new YunStateManager(QCoreApplication::instance());
    }
    return *instance;
}

void YunStateManager::open(const QString& windowId, const QString& localPort, std::function<void()> create) {
    auto* socket = new QWebSocket(QString(), QWebSocketProtocol::Version13, this);
    m_opening.insert(windowId, socket);
    connect(socket, &QWebSocket::connected, this, [this, socket, windowId, create] {
        if (m_opening.value(windowId) != socket) {
            socket->close();  // cancelled while it connected
            return;
        }
        m_opening.remove(windowId);
        QWebSocket* earlier = m_sockets.value(windowId);
        m_sockets.insert(windowId, socket);
        if (earlier && earlier != socket) {
            earlier->close();
        }
        if (create) {
            create();
        }
    });
    connect(socket, &QWebSocket::disconnected, this, [this, socket, windowId] {
        if (m_opening.value(windowId) == socket) {
            m_opening.remove(windowId);  // never connected: a later show may try again
        }
        ForgetSocket(socket);
        socket->deleteLater();
    });
    connect(socket, QOverload<QAbstractSocket::SocketError>::of(&QWebSocket::error), this,
            [socket](QAbstractSocket::SocketError) { qWarning().noquote() << "device socket:" << socket->errorString(); });
    socket->open(QUrl(QStringLiteral("ws://localhost:") + localPort));
}

bool YunStateManager::CancelOpening(const QString& windowId) {
    if (!m_opening.contains(windowId)) {
        return false;
    }
    const QPointer<QWebSocket> socket = m_opening.take(windowId);
    qInfo().noquote() << "cancelled opening window" << windowId;
    if (socket) {
        socket->abort();
        socket->deleteLater();
    }
    return true;
}

void YunStateManager::send(const QString& windowId, const QString& text) {
    QWebSocket* socket = m_sockets.value(windowId);
    if (!socket) {
        return;
    }
    std::fputs("localPort:\n", stdout);
    std::fflush(stdout);
    socket->sendTextMessage(text);
}

QWidget* YunStateManager::Window(const QString& windowId) const { return m_windows.value(windowId); }

void YunStateManager::InsertWindow(const QString& windowId, QWidget* window) {
    m_windows.insert(windowId, window);
    connect(window, &QObject::destroyed, this, [this, windowId, window] {
        if (m_windows.value(windowId) == nullptr || m_windows.value(windowId) == window) {
            m_windows.remove(windowId);
        }
    });
}

void YunStateManager::RemoveWindow(const QString& windowId) { m_windows.remove(windowId); }

QWebSocket* YunStateManager::Socket(const QString& windowId) const { return m_sockets.value(windowId); }

void YunStateManager::ForgetSocket(QWebSocket* socket) {
    for (auto it = m_sockets.begin(); it != m_sockets.end();) {
        if (!*it || *it == socket) {
            it = m_sockets.erase(it);
        } else {
            ++it;
        }
    }
}

}  // namespace app
