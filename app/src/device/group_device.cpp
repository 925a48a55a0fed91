#include "device/group_device.h"

#include <QJsonObject>

#include "bridge/bridge_io.h"

namespace app {

QList<GroupDevice> ReadGroupDevices(const QJsonArray& array) {
    QList<GroupDevice> devices;
    for (const QJsonValue& value : array) {
        if (!value.isObject()) continue;
        const QJsonObject obj = value.toObject();
        GroupDevice device;
        device.userId = ReadText(obj, QStringLiteral("userId"));
        device.deviceId = ReadText(obj, QStringLiteral("deviceId"));
        device.winId = ReadText(obj, QStringLiteral("winId"));
        device.channelAppId = ReadText(obj, QStringLiteral("channelAppId"));
        device.channelSecret = ReadText(obj, QStringLiteral("channelSecret"));
        device.channel = ReadText(obj, QStringLiteral("channel"));
        device.quality = ReadInt(obj, QStringLiteral("quality"));
        device.orientation = ReadInt(obj, QStringLiteral("orientation"));
        if (!device.deviceId.isEmpty()) devices.append(device);
    }
    return devices;
}

}  // namespace app
