#include "device/channel_factory.h"

#ifdef TESSIVO_WITH_LUMET
#include "device/lumet_channel_object.h"
#endif
#ifdef TESSIVO_WITH_KOVRA
#include "device/kovra_channel_object.h"
#endif

namespace app {

std::shared_ptr<ChannelObjectInterface> CreateChannel(const QString& channel, const QString& windowId,
                                                      const QString& userId, const QString& deviceId,
                                                      const QString& channelAppId, const QString& channelSecret) {
#ifdef TESSIVO_WITH_KOVRA
    if (channel == QLatin1String("Kovra")) {
        return std::make_shared<KovraChannelObject>(windowId, userId, deviceId, channelAppId, channelSecret);
    }
#endif
#ifdef TESSIVO_WITH_LUMET
    if (channel == QLatin1String("Lumet")) {
        return std::make_shared<LumetChannelObject>(windowId, userId, deviceId, channelAppId, channelSecret);
    }
#endif
    return nullptr;
}

}  // namespace app
