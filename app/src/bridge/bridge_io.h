#pragma once
// Helpers shared by the bridge actions: replies, request fields, file names.
#include <QJsonObject>
#include <QString>
#include <QUrl>
#include <QWebSocket>

namespace app {

// One text message holding obj, compact or indented.
void SendJson(QWebSocket* socket, const QJsonObject& obj, bool indented);

// Missing keys read as empty text, 0 or false.
QString ReadText(const QJsonObject& obj, const QString& key);
int ReadInt(const QJsonObject& obj, const QString& key);
bool ReadBool(const QJsonObject& obj, const QString& key);

// A name from the page that must stay inside its folder: no separator, no "..".
bool IsSafeFileName(const QString& name);

// "scheme://host[:port]" as a browser writes it in Origin ("file://" for files).
QString OriginOf(const QUrl& url);

// "localhost", 127.0.0.0/8 or ::1, with or without a port.
bool IsLoopbackHost(const QString& hostHeader);

}  // namespace app
