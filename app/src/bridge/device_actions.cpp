// Opening and closing device windows on the page's request.
#include <QDebug>
#include <QJsonArray>
#include <QJsonDocument>

#include "bridge/bridge_io.h"
#include "bridge/web_socket_channel.h"
#include "bridge/yun_state_manager.h"
#include "platform/window_ops.h"
#include "context/app_context.h"
#include "widgets/toast_animation.h"

namespace app {
namespace {

const char kSyncWindowId[] = "syncDevice";

// Opens through the registered opener once the window's bridge socket is up.
void OpenDeviceWindow(const QString& winId, const QString& localPort, const QJsonObject& request,
                      const YunStateManager::DeviceOpener& opener) {
    YunStateManager& manager = YunStateManager::Instance();
    if (QWidget* window = manager.Window(winId)) {
        window->showNormal();
        platform::BringToFront(window);
        return;
    }
    if (manager.IsOpening(winId)) {
        qInfo().noquote() << "window already opening:" << winId;  // one window per id
        return;
    }
    manager.open(winId, localPort, [request, opener, winId] {
        if (opener) {
            opener(request);
            return;
        }
        qInfo().noquote() << "no device view available for" << winId;
        ToastAnimation::showTip(QStringLiteral("设备窗口暂不可用：%1").arg(winId), AppContext::MainWindow());
    });
}

// Ports arrive as text or as numbers.
QString PortText(const QJsonObject& obj) {
    const QJsonValue port = obj.value(QStringLiteral("localPort"));
    return port.isString() ? port.toString() : QString::number(port.toInt());
}

void ShowYunDeviceDialog(QJsonObject request, QWebSocket*) {
    qInfo().noquote() << "showYunDeviceDialog:" << QJsonDocument(request).toJson(QJsonDocument::Compact);
    OpenDeviceWindow(ReadText(request, QStringLiteral("winId")), PortText(request), request,
                     YunStateManager::Instance().SingleOpener());
}

void ShowSyncYunDeviceDialog(QJsonObject request, QWebSocket*) {
    qInfo().noquote() << "showSyncYunDeviceDialog:" << QJsonDocument(request).toJson(QJsonDocument::Compact);
    const QJsonObject deviceList = request.value(QStringLiteral("deviceList")).toObject();
    const QJsonObject mainDevice = deviceList.value(QStringLiteral("main")).toArray().first().toObject();
    QString winId = ReadText(mainDevice, QStringLiteral("winId"));
    if (winId.isEmpty()) {
        winId = QString::fromLatin1(kSyncWindowId);
    }
    OpenDeviceWindow(winId, PortText(mainDevice), request, YunStateManager::Instance().SyncOpener());
}

// A close for a window that is still opening cancels it, so the page never
// leaves a window it can no longer reach.
void CloseYunDeviceDialog(QJsonObject request, QWebSocket*) {
    const QString winId = ReadText(request, QStringLiteral("winId"));
    YunStateManager& manager = YunStateManager::Instance();
    if (QWidget* window = manager.Window(winId)) {
        window->close();
        manager.RemoveWindow(winId);
    } else {
        manager.CancelOpening(winId);
    }
}

void CloseSyncYunDeviceDialog(QJsonObject, QWebSocket*) {
    const QString winId = QString::fromLatin1(kSyncWindowId);
    YunStateManager& manager = YunStateManager::Instance();
    if (QWidget* window = manager.Window(winId)) {
        window->setProperty("closedByPage", true);  // its close then reports nothing
        window->close();
        manager.RemoveWindow(winId);
    } else {
        manager.CancelOpening(winId);
    }
}

}  // namespace

void AddDeviceActions(ActionTable& table) {
    table.insert(QStringLiteral("showYunDeviceDialog"), ShowYunDeviceDialog);
    table.insert(QStringLiteral("showSyncYunDeviceDialog"), ShowSyncYunDeviceDialog);
    table.insert(QStringLiteral("closeYunDeviceDialog"), CloseYunDeviceDialog);
    table.insert(QStringLiteral("closeSyncYunDeviceDialog"), CloseSyncYunDeviceDialog);
}

}  // namespace app
