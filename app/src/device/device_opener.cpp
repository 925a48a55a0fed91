#include "device/device_opener.h"

#include <QApplication>
#include <QDebug>

#include "bridge/bridge_io.h"
#include "bridge/yun_state_manager.h"
#include "device/channel_factory.h"
#include "device/kovra_yun_base_view.h"
#include "device/multi_device_opener.h"

static void InitDeviceResources() { Q_INIT_RESOURCE(device); }

namespace app {

KovraYunBaseView* OpenDeviceView(const QJsonObject& request) {
    const QString winId = ReadText(request, QStringLiteral("winId"));
    auto channel = CreateChannel(ReadText(request, QStringLiteral("channel")), winId,
                                 ReadText(request, QStringLiteral("userId")),
                                 ReadText(request, QStringLiteral("deviceId")),
                                 ReadText(request, QStringLiteral("channelAppId")),
                                 ReadText(request, QStringLiteral("channelSecret")));
    if (!channel) {
        qInfo().noquote() << "no back end for channel" << ReadText(request, QStringLiteral("channel"));
        return nullptr;
    }
    auto* view = new KovraYunBaseView(winId);
    view->setChannel(channel);
    YunStateManager::Instance().InsertWindow(winId, view);
    view->show();
    channel->start(request.value(QStringLiteral("orientation")).toInt(),
                   request.value(QStringLiteral("quality")).toInt(), view->width(), view->height(), view);
    return view;
}

void InstallDeviceViews() {
    InitDeviceResources();
    // Views still open at exit end their streams before the libraries go.
    QCoreApplication* application = QCoreApplication::instance();
    const QString hookName = QStringLiteral("deviceViewsQuitHook");
    if (application && !application->findChild<QObject*>(hookName, Qt::FindDirectChildrenOnly)) {
        auto* hook = new QObject(application);
        hook->setObjectName(hookName);
        QObject::connect(application, &QCoreApplication::aboutToQuit, hook, [] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                if (auto* view = qobject_cast<KovraYunBaseView*>(widget)) {
                    delete view;
                }
            }
        });
    }
    YunStateManager::Instance().SetSingleOpener([](const QJsonObject& request) { OpenDeviceView(request); });
    YunStateManager::Instance().SetSyncOpener([](const QJsonObject& request) { OpenSyncDeviceView(request); });
}

}  // namespace app
