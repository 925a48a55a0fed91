#pragma once
// The local bridge: a WebSocket server on loopback through which the page
// (and the device windows) send JSON actions to the program.
#include <QJsonObject>
#include <QMap>
#include <QObject>
#include <QSet>
#include <QString>
#include <QUrl>
#include <QWebSocket>
#include <QWebSocketServer>

#include <functional>
#include <memory>

namespace app {

using BridgeHandler = std::function<void(QJsonObject request, QWebSocket* socket)>;
using ActionTable = QMap<QString, BridgeHandler>;

class WebSocketChannel : public QObject {
    Q_OBJECT
public:
    static constexpr quint16 kFirstPort = 12125;
    // Bounds no page reaches: a larger message closes its socket with 1009,
    // connections beyond the count are closed at once.
    static constexpr quint64 kMaxMessageBytes = 16 * 1024 * 1024;
    static constexpr int kMaxConnections = 256;
    int ConnectionCount() const { return m_connections; }

    explicit WebSocketChannel(QObject* parent = nullptr);
    ~WebSocketChannel() override;

    // Listens on 127.0.0.1 at kFirstPort or the next free port; the port, or
    // -1 when no port is free.
    int Start();
    quint16 Port() const;
    void Close();

    // Origins whose pages may connect (besides the program's own sockets,
    // which send none). The front end's configured origin stays allowed; the
    // page origin follows what the main window shows.
    void SetFrontendOrigin(const QUrl& url);
    void SetPageOrigin(const QUrl& url);
    bool IsOriginAllowed(const QString& origin) const;

    QStringList ActionNames() const { return m_actions.keys(); }
    // Handles one text message as if it came from socket.
    void Dispatch(const QString& message, QWebSocket* socket);

    // What "closeApp" does when "closeFunc" is 1 (tests replace it).
    void SetQuitFunction(std::function<void()> quit) { m_quit = std::move(quit); }
    void Quit() const { if (m_quit) m_quit(); }

private:
    void OnNewConnection();
    void OnDisconnected(QWebSocket* socket);

    std::unique_ptr<QWebSocketServer> m_server;
    ActionTable m_actions;
    QString m_frontendOrigin;
    QString m_pageOrigin;
    std::function<void()> m_quit;
    int m_connections = 0;
};

// Fillers of the action table, one per group of actions.
void AddStoreActions(ActionTable& table);
void AddCallbackActions(ActionTable& table);
void AddHostActions(ActionTable& table);
void AddWindowActions(ActionTable& table, WebSocketChannel& channel);
void AddFileActions(ActionTable& table);
void AddDeviceActions(ActionTable& table);

}  // namespace app
