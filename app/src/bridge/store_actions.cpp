// "operateLocalStore": flat string values in the settings store.
#include <cmath>

#include "bridge/bridge_io.h"
#include "bridge/web_socket_channel.h"
#include "context/app_context.h"

namespace app {
namespace {

// Strings as they are; numbers (and null, arrays, objects) as the decimal
// text of their integer part; booleans are not stored.
bool StoredText(const QJsonValue& value, QString& text) {
    if (value.isString()) {
        text = value.toString();
        return true;
    }
    if (value.isBool()) {
        return false;
    }
    const double d = value.toDouble();
    const double whole = std::isfinite(d) ? std::trunc(d) : 0.0;
    if (whole >= 9.2e18 || whole <= -9.2e18) {
        text = QString::number(whole, 'f', 0);
    } else {
        text = QString::number(static_cast<qint64>(whole));
    }
    return true;
}

void OperateLocalStore(QJsonObject request, QWebSocket* socket) {
    QSettings* settings = AppContext::Settings();
    const QString key = ReadText(request, QStringLiteral("key"));
    switch (ReadInt(request, QStringLiteral("type"))) {
        case 1: {
            QString text;
            if (!key.isEmpty() && StoredText(request.value(QStringLiteral("value")), text)) {
                settings->setValue(key, text);
                settings->sync();
            }
            SendJson(socket, request, false);
            break;
        }
        case 2: {
            QJsonObject reply;
            reply.insert(QStringLiteral("actionId"), request.value(QStringLiteral("actionId")));
            reply.insert(QStringLiteral("result"), key.isEmpty() ? QString() : settings->value(key).toString());
            SendJson(socket, reply, false);
            break;
        }
        case 3:
            if (!key.isEmpty()) {
                settings->setValue(key, QString());
                settings->sync();
            }
            SendJson(socket, request, false);
            break;
        default:
            break;
    }
}

}  // namespace

void AddStoreActions(ActionTable& table) { table.insert(QStringLiteral("operateLocalStore"), OperateLocalStore); }

}  // namespace app
