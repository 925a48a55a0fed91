#pragma once
// The open device windows and the bridge client socket of each one.
#include <QJsonObject>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWebSocket>
#include <QWidget>

#include <functional>

namespace app {

class YunStateManager : public QObject {
    Q_OBJECT
public:
    // Builds and shows a device window from a "showYunDeviceDialog" (or
    // "showSyncYunDeviceDialog") request and registers it in the window map.
    using DeviceOpener = std::function<void(const QJsonObject& request)>;

    static YunStateManager& Instance();

    // Opens a client socket to ws://localhost:<localPort>; once it connects,
    // stores it under windowId and calls create. A window stays "opening"
    // until then (or until its socket fails).
    void open(const QString& windowId, const QString& localPort, std::function<void()> create);
    bool IsOpening(const QString& windowId) const { return m_opening.contains(windowId); }
    // Cancels a window that is still opening: its socket is dropped and
    // create is never called. False when none was opening.
    bool CancelOpening(const QString& windowId);
    // Sends text on the socket of windowId, if there is one.
    void send(const QString& windowId, const QString& text);

    QWidget* Window(const QString& windowId) const;
    // The entry leaves the map by itself when the window is destroyed.
    void InsertWindow(const QString& windowId, QWidget* window);
    void RemoveWindow(const QString& windowId);
    QWebSocket* Socket(const QString& windowId) const;
    int SocketCount() const { return m_sockets.size(); }
    // Drops every socket entry that points to socket.
    void ForgetSocket(QWebSocket* socket);

    // Set by the device views; without them the bridge only logs and tells the user.
    void SetSingleOpener(DeviceOpener opener) { m_singleOpener = std::move(opener); }
    void SetSyncOpener(DeviceOpener opener) { m_syncOpener = std::move(opener); }
    const DeviceOpener& SingleOpener() const { return m_singleOpener; }
    const DeviceOpener& SyncOpener() const { return m_syncOpener; }

private:
    explicit YunStateManager(QObject* parent) : QObject(parent) {}

    QMap<QString, QPointer<QWidget>> m_windows;
    QMap<QString, QPointer<QWebSocket>> m_sockets;
    QMap<QString, QPointer<QWebSocket>> m_opening;  // sockets not yet connected, by window id
    DeviceOpener m_singleOpener;
    DeviceOpener m_syncOpener;
};

}  // namespace app
