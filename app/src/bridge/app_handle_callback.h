#pragma once
// Who receives data sent to a window id (or "main"): the actionId and the
// bridge socket that registered last under that key.
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWebSocket>

namespace app {

class AppHandleCallback : public QObject {
    Q_OBJECT
public:
    struct Entry {
        QString actionId;
        QPointer<QWebSocket> socket;
    };

    static AppHandleCallback& Instance();

    // Replaces an earlier entry under key.
    void Register(const QString& key, const QString& actionId, QWebSocket* socket);
    // False when nothing live is registered under key.
    bool Lookup(const QString& key, Entry& entry) const;
    // Drops every entry that points to socket.
    void Forget(QWebSocket* socket);
    int Size() const { return m_entries.size(); }

private:
    explicit AppHandleCallback(QObject* parent) : QObject(parent) {}
    QMap<QString, Entry> m_entries;
};

}  // namespace app
