#include "bridge/web_socket_channel.h"

#include <QCoreApplication>
#include <QDebug>
#include <QHostAddress>
#include <QJsonDocument>
#include <QWebSocketCorsAuthenticator>

#include "bridge/app_handle_callback.h"
#include "bridge/bridge_io.h"
#include "bridge/yun_state_manager.h"

namespace app {
namespace {
const char kCountedProperty[] = "bridgeCounted";
}  // namespace

WebSocketChannel::WebSocketChannel(QObject* parent)
    : QObject(parent),
      m_server(std::make_unique<QWebSocketServer>(QString(), QWebSocketServer::NonSecureMode)),
      m_quit([] { QCoreApplication::exit(0); }) {
    AddStoreActions(m_actions);
    AddCallbackActions(m_actions);
    AddHostActions(m_actions);
    AddWindowActions(m_actions, *this);
    AddFileActions(m_actions);
    AddDeviceActions(m_actions);

    connect(m_server.get(), &QWebSocketServer::newConnection, this, &WebSocketChannel::OnNewConnection);
    connect(m_server.get(), &QWebSocketServer::originAuthenticationRequired, this,
            [this](QWebSocketCorsAuthenticator* auth) {
                const bool allowed = IsOriginAllowed(auth->origin());
                if (!allowed) {
                    qWarning().noquote() << "bridge refused origin" << auth->origin();
                }
                auth->setAllowed(allowed);
            });
    connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this, &WebSocketChannel::Close);
}

WebSocketChannel::~WebSocketChannel() { Close(); }

int WebSocketChannel::Start() {
    for (quint32 port = kFirstPort; port <= 65535; ++port) {
        if (m_server->listen(QHostAddress::LocalHost, static_cast<quint16>(port))) {
            return static_cast<int>(port);
        }
    }
    qWarning() << "bridge: no free port";
    return -1;
}

quint16 WebSocketChannel::Port() const { return m_server->serverPort(); }

void WebSocketChannel::Close() {
    if (m_server->isListening()) {
        m_server->close();
    }
}

void WebSocketChannel::SetFrontendOrigin(const QUrl& url) { m_frontendOrigin = OriginOf(url); }
void WebSocketChannel::SetPageOrigin(const QUrl& url) { m_pageOrigin = OriginOf(url); }

bool WebSocketChannel::IsOriginAllowed(const QString& origin) const {
    if (origin.isEmpty()) {
        return true;
    }
    const QString lower = origin.toLower();
    return (!m_frontendOrigin.isEmpty() && lower == m_frontendOrigin) ||
           (!m_pageOrigin.isEmpty() && lower == m_pageOrigin);
}

void WebSocketChannel::OnNewConnection() {
    while (QWebSocket* socket = m_server->nextPendingConnection()) {
        qDebug() << "newConnection";
        socket->setParent(this);
        connect(socket, &QWebSocket::disconnected, this, [this, socket] { OnDisconnected(socket); });
        const QString host = QString::fromLatin1(socket->request().rawHeader("Host"));
        if (!IsLoopbackHost(host.isEmpty() ? socket->requestUrl().host() : host)) {
            qWarning().noquote() << "bridge refused host" << host;
            socket->close(QWebSocketProtocol::CloseCodePolicyViolated, QStringLiteral("host"));
            continue;
        }
        if (m_connections >= kMaxConnections) {
            qWarning().noquote() << "bridge refused a connection:" << m_connections << "open, at most" << kMaxConnections;
            socket->close(QWebSocketProtocol::CloseCodePolicyViolated, QStringLiteral("too many connections"));
            continue;
        }
        ++m_connections;
        socket->setProperty(kCountedProperty, true);
        // Larger messages close the socket with 1009 (too much data).
        socket->setMaxAllowedIncomingMessageSize(kMaxMessageBytes);
        socket->setMaxAllowedIncomingFrameSize(kMaxMessageBytes);
        connect(socket, QOverload<QAbstractSocket::SocketError>::of(&QWebSocket::error), this,
                [socket](QAbstractSocket::SocketError) {
                    qWarning().noquote() << "bridge socket closed:" << socket->errorString();
                });
        connect(socket, &QWebSocket::textMessageReceived, this,
                [this, socket](const QString& message) { Dispatch(message, socket); });
    }
}

void WebSocketChannel::OnDisconnected(QWebSocket* socket) {
    if (socket->property(kCountedProperty).toBool()) {
        socket->setProperty(kCountedProperty, false);
        --m_connections;
    }
    AppHandleCallback::Instance().Forget(socket);
    YunStateManager::Instance().ForgetSocket(socket);
    socket->deleteLater();
}

void WebSocketChannel::Dispatch(const QString& message, QWebSocket* socket) {
    const QJsonDocument doc = QJsonDocument::fromJson(message.toUtf8());
    const QJsonObject request = doc.isObject() ? doc.object() : QJsonObject();
    const auto it = m_actions.constFind(request.value(QStringLiteral("action")).toString());
    if (it == m_actions.constEnd()) {
        return;
    }
    it.value()(request, socket);
}

}  // namespace app
