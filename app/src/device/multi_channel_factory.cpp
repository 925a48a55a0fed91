#include "device/multi_channel_factory.h"

#ifdef TESSIVO_WITH_MOSAIC
#include "device/lumet_muti_channel_object.h"
#endif
#ifdef TESSIVO_WITH_KOVRA
#include "device/kovra_muti_channel_object.h"
#endif

namespace app {

std::shared_ptr<ChannelObjectInterface> CreateMultiChannel(const QString& channel, const QString& windowId,
                                                           const QList<GroupDevice>& devices) {
    if (devices.isEmpty()) {
        return nullptr;
    }
#ifdef TESSIVO_WITH_KOVRA
    if (channel == QLatin1String("Kovra")) {
        return std::make_shared<KovraMutiChannelObject>(windowId, devices);
    }
#endif
#ifdef TESSIVO_WITH_MOSAIC
    if (channel == QLatin1String("Lumet")) {
        const GroupDevice& first = devices.first();
        return std::make_shared<LumetMutiChannelObject>(windowId, first.userId, first.deviceId, devices,
                                                        first.channelAppId, first.channelSecret);
    }
#endif
    return nullptr;
}

}  // namespace app
