#include "device/multi_device_opener.h"

#include <QDebug>
#include <QJsonArray>

#include "bridge/bridge_io.h"
#include "bridge/yun_state_manager.h"
#include "device/group_device.h"
#include "device/kovra_yun_base_view.h"
#include "device/multi_channel_factory.h"

namespace app {

KovraYunBaseView* OpenSyncDeviceView(const QJsonObject& request) {
    const QJsonObject deviceList = request.value(QStringLiteral("deviceList")).toObject();
    const QList<GroupDevice> main = ReadGroupDevices(deviceList.value(QStringLiteral("main")).toArray());
    if (main.isEmpty()) {
        qInfo().noquote() << "group window without devices";
        return nullptr;
    }
    const GroupDevice& first = main.first();
    const QString winId = first.winId.isEmpty() ? QStringLiteral("syncDevice") : first.winId;
    auto channel = CreateMultiChannel(first.channel, winId, main);
    if (!channel) {
        qInfo().noquote() << "no group back end for channel" << first.channel;
        return nullptr;
    }
    auto* view = new KovraYunBaseView(winId);
    view->setChannel(channel);
    YunStateManager::Instance().InsertWindow(winId, view);
    for (const QJsonValue& value : request.value(QStringLiteral("sub")).toArray()) {
        const QJsonObject entry = value.toObject();
        const QList<GroupDevice> devices = ReadGroupDevices(entry.value(QStringLiteral("deviceList")).toArray());
        if (devices.isEmpty()) continue;
        auto sub = CreateMultiChannel(ReadText(entry, QStringLiteral("channel")), devices.first().winId, devices);
        if (!sub) continue;
        sub->attach(view);
        channel->subChannels.append(sub);
    }
    view->show();
    channel->start(first.orientation, first.quality, view->width(), view->height(), view);
    return view;
}

}  // namespace app
