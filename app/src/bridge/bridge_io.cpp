#include "bridge/bridge_io.h"

#include <QHostAddress>
#include <QJsonDocument>

namespace app {

void SendJson(QWebSocket* socket, const QJsonObject& obj, bool indented) {
    if (!socket) {
        return;
    }
    const QJsonDocument doc(obj);
    socket->sendTextMessage(QString::fromUtf8(doc.toJson(indented ? QJsonDocument::Indented : QJsonDocument::Compact)));
}

QString ReadText(const QJsonObject& obj, const QString& key) { return obj.value(key).toString(); }

int ReadInt(const QJsonObject& obj, const QString& key) {
    const QJsonValue value = obj.value(key);
    if (value.isString()) {
        return value.toString().toInt();
    }
    const double d = value.toDouble();
    if (d >= 2147483647.0) return 2147483647;
    if (d <= -2147483648.0) return -2147483647 - 1;
    return static_cast<int>(d);
}

bool ReadBool(const QJsonObject& obj, const QString& key) { return obj.value(key).toBool(); }

bool IsSafeFileName(const QString& name) {
    if (name.isEmpty() || name.contains(QLatin1String(".."))) {
        return false;
    }
    return !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) && !name.contains(QChar(0));
}

QString OriginOf(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("file")) {
        return QStringLiteral("file://");
    }
    if (scheme.isEmpty() || url.host().isEmpty()) {
        return QString();
    }
    QString origin = scheme + "://" + url.host(QUrl::FullyEncoded).toLower();
    const int port = url.port();
    const bool defaultPort = (scheme == QLatin1String("http") && port == 80) ||
                             (scheme == QLatin1String("https") && port == 443);
    if (port != -1 && !defaultPort) {
        origin += ":" + QString::number(port);
    }
    return origin;
}

bool IsLoopbackHost(const QString& hostHeader) {
    QString host = hostHeader.trimmed().toLower();
    if (host.startsWith(QLatin1Char('['))) {
        host = host.mid(1, host.indexOf(QLatin1Char(']')) - 1);
    } else if (host.count(QLatin1Char(':')) == 1) {
        host = host.section(QLatin1Char(':'), 0, 0);
    }
    if (host == QLatin1String("localhost")) {
        return true;
    }
    QHostAddress address;
    return address.setAddress(host) && address.isLoopback();
}

}  // namespace app
