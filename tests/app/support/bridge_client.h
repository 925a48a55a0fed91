#pragma once
// A real WebSocket client of the bridge for tests.
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QString>
#include <QWebSocket>

#include <memory>

namespace apptest {

class BridgeClient : public QObject {
    Q_OBJECT
public:
    explicit BridgeClient(const QString& origin = QString());
    ~BridgeClient() override;

    // True once connected (within timeoutMs).
    bool Connect(int port, int timeoutMs = 5000);
    bool IsConnected() const;
    // True once the server has closed the connection (within timeoutMs).
    bool WaitClosed(int timeoutMs = 5000);
    void Close();

    void Send(const QJsonObject& request);
    void SendText(const QString& text);
    // The next message as an object; false when none arrived in time.
    bool Next(QJsonObject& message, int timeoutMs = 5000);
    // Sends appLoadingCallback with a marker and returns the messages that
    // came before its echo: everything the server answered to earlier requests.
    QList<QJsonObject> Flush(int timeoutMs = 5000);
    int Pending() const { return m_messages.size(); }

    QWebSocket& Socket() { return *m_socket; }

private:
    std::unique_ptr<QWebSocket> m_socket;
    QList<QString> m_messages;
    bool m_closed = false;
    int m_marker = 0;
};

QJsonObject Obj(std::initializer_list<QPair<QString, QJsonValue>> fields);

}  // namespace apptest
