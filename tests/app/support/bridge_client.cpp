#include "bridge_client.h"

#include <QJsonDocument>
#include <QUrl>

#include "wait.h"

namespace apptest {

QJsonObject Obj(std::initializer_list<QPair<QString, QJsonValue>> fields) {
    QJsonObject obj;
    for (const auto& field : fields) obj.insert(field.first, field.second);
    return obj;
}

BridgeClient::BridgeClient(const QString& origin)
    : m_socket(std::make_unique<QWebSocket>(origin, QWebSocketProtocol::Version13)) {
    connect(m_socket.get(), &QWebSocket::textMessageReceived, this, [this](const QString& m) { m_messages.append(m); });
    connect(m_socket.get(), &QWebSocket::disconnected, this, [this] { m_closed = true; });
}

BridgeClient::~BridgeClient() {
    m_socket->disconnect(this);
    m_socket->abort();
}

bool BridgeClient::Connect(int port, int timeoutMs) {
    m_closed = false;
    m_socket->open(QUrl(QStringLiteral("ws://127.0.0.1:%1").arg(port)));
    return WaitUntil([this] { return IsConnected() || m_closed; }, timeoutMs) && IsConnected();
}

bool BridgeClient::IsConnected() const { return m_socket->state() == QAbstractSocket::ConnectedState; }

bool BridgeClient::WaitClosed(int timeoutMs) {
    return WaitUntil([this] { return m_closed || m_socket->state() == QAbstractSocket::UnconnectedState; }, timeoutMs);
}

void BridgeClient::Close() {
    m_socket->close();
    WaitClosed(2000);
}

void BridgeClient::Send(const QJsonObject& request) {
    SendText(QString::fromUtf8(QJsonDocument(request).toJson(QJsonDocument::Compact)));
}

void BridgeClient::SendText(const QString& text) {
    m_socket->sendTextMessage(text);
    m_socket->flush();
}

bool BridgeClient::Next(QJsonObject& message, int timeoutMs) {
    if (!WaitUntil([this] { return !m_messages.isEmpty(); }, timeoutMs)) {
        return false;
    }
    message = QJsonDocument::fromJson(m_messages.takeFirst().toUtf8()).object();
    return true;
}

QList<QJsonObject> BridgeClient::Flush(int timeoutMs) {
    const QString marker = QStringLiteral("flush-%1").arg(++m_marker);
    Send(Obj({{"action", "appLoadingCallback"}, {"marker", marker}}));
    QList<QJsonObject> before;
    QJsonObject message;
    while (Next(message, timeoutMs)) {
        if (message.value(QStringLiteral("marker")).toString() == marker) {
            return before;
        }
        before.append(message);
    }
    before.append(Obj({{"flushTimedOut", true}}));
    return before;
}

}  // namespace apptest
