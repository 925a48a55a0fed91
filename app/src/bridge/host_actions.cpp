// Host information, auto start and the system browser.
#include <QCoreApplication>
#include <QDebug>
#include <QJsonDocument>

#include "bridge/bridge_io.h"
#include "bridge/web_socket_channel.h"
#include "host/auto_start.h"
#include "host/host_info.h"
#include "platform/shell_open.h"
#include "context/app_context.h"

namespace app {
namespace {

void GetAppInfo(QJsonObject request, QWebSocket* socket) {
    QJsonObject reply;
    reply.insert(QStringLiteral("actionId"), request.value(QStringLiteral("actionId")));
    reply.insert(QStringLiteral("packname"), AppContext::ApplicationId());
    reply.insert(QStringLiteral("version"), QCoreApplication::applicationVersion());
    reply.insert(QStringLiteral("promoteid"), HostInfo::PromoteId());
    reply.insert(QStringLiteral("platform"), QStringLiteral("pc"));
    reply.insert(QStringLiteral("device"), HostInfo::Fingerprint());
    reply.insert(QStringLiteral("sys_version"), HostInfo::OsName());
    reply.insert(QStringLiteral("network"), HostInfo::NetworkKind());
    reply.insert(QStringLiteral("app_id"), HostInfo::AppChannelId());
    qInfo().noquote() << "getAppInfo:" << QJsonDocument(reply).toJson(QJsonDocument::Compact);
    SendJson(socket, reply, true);
}

void AppLoadingCallback(QJsonObject request, QWebSocket* socket) { SendJson(socket, request, true); }

// Only web addresses go to the browser: a file or custom scheme from the
// page would run local programs.
void OpenWeb(QJsonObject request, QWebSocket*) {
    const QUrl url(ReadText(request, QStringLiteral("url")));
    const QString scheme = url.scheme().toLower();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https")) {
        qWarning().noquote() << "openWeb refused" << url.toString();
        return;
    }
    platform::OpenUrl(url);
}

void SetAutoOpenApp(QJsonObject request, QWebSocket*) {
    if (ReadBool(request, QStringLiteral("isAuto"))) {
        AutoStart::Enable();
    } else {
        AutoStart::Disable();
    }
}

void IsAutoOpenApp(QJsonObject request, QWebSocket* socket) {
    request.insert(QStringLiteral("isAuto"), AutoStart::IsEnabled());
    qInfo().noquote() << "isAutoOpenApp:" << QJsonDocument(request).toJson(QJsonDocument::Compact);
    SendJson(socket, request, true);
}

}  // namespace

void AddHostActions(ActionTable& table) {
    table.insert(QStringLiteral("getAppInfo"), GetAppInfo);
    table.insert(QStringLiteral("appLoadingCallback"), AppLoadingCallback);
    table.insert(QStringLiteral("openWeb"), OpenWeb);
    table.insert(QStringLiteral("setAutoOpenApp"), SetAutoOpenApp);
    table.insert(QStringLiteral("isAutoOpenApp"), IsAutoOpenApp);
}

}  // namespace app
