#pragma once
// The group back end a "channel" value selects: "Kovra" the vendor SDK,
// "Lumet" the in-house group SDK; null for any other value (or one not
// built in) and for an empty device list. The first device leads.
#include <QString>

#include <memory>

#include "device/channel_object_interface.h"
#include "device/group_device.h"

namespace app {

std::shared_ptr<ChannelObjectInterface> CreateMultiChannel(const QString& channel, const QString& windowId,
                                                           const QList<GroupDevice>& devices);

}  // namespace app
