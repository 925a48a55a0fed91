#pragma once
// One phone of a group window's request: the "device" objects of the
// "deviceList" arrays of "showSyncYunDeviceDialog".
#include <QJsonArray>
#include <QList>
#include <QString>

namespace app {

struct GroupDevice {
    QString userId;
    QString deviceId;
    QString winId;
    QString channelAppId;
    QString channelSecret;
    QString channel;
    int quality = 0;
    int orientation = 0;
};

// Entries that are not objects, or carry no "deviceId", are left out.
QList<GroupDevice> ReadGroupDevices(const QJsonArray& array);

}  // namespace app
