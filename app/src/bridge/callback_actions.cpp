// Routing of data between the page and the device windows.
#include "bridge/app_handle_callback.h"
#include "bridge/bridge_io.h"
#include "bridge/web_socket_channel.h"

namespace app {
namespace {

QString TargetKey(const QJsonObject& request) {
    const QString winId = ReadText(request, QStringLiteral("winId"));
    return winId.isEmpty() ? QStringLiteral("main") : winId;
}

void HandleAppFunctionCallback(QJsonObject request, QWebSocket* socket) {
    AppHandleCallback::Instance().Register(TargetKey(request), ReadText(request, QStringLiteral("actionId")), socket);
}

void SendAppData(QJsonObject request, QWebSocket*) {
    AppHandleCallback::Entry entry;
    if (!AppHandleCallback::Instance().Lookup(TargetKey(request), entry)) {
        return;
    }
    QJsonObject message;
    message.insert(QStringLiteral("actionId"), entry.actionId);
    message.insert(QStringLiteral("data"), request.value(QStringLiteral("data")));
    SendJson(entry.socket, message, true);
}

}  // namespace

void AddCallbackActions(ActionTable& table) {
    table.insert(QStringLiteral("handleAppFunctionCallback"), HandleAppFunctionCallback);
    table.insert(QStringLiteral("sendAppData"), SendAppData);
    table.insert(QStringLiteral("sendDataFromYunViewToMainView"), SendAppData);
}

}  // namespace app
