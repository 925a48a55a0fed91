#pragma once
// The back end a "channel" value selects: "Kovra" the vendor SDK, "Lumet"
// the in-house SDK; null for any other value (or one not built in).
#include <QString>

#include <memory>

#include "device/channel_object_interface.h"

namespace app {

std::shared_ptr<ChannelObjectInterface> CreateChannel(const QString& channel, const QString& windowId,
                                                      const QString& userId, const QString& deviceId,
                                                      const QString& channelAppId, const QString& channelSecret);

}  // namespace app
