#include "device/follower_source.h"

namespace app {

QString FollowerStateText(const FollowerInfo& info) {
    switch (info.state) {
        case FollowerState::Controlling: return QStringLiteral("控制中");
        case FollowerState::Paused: return QStringLiteral("已暂停");
        case FollowerState::Refused: return QStringLiteral("已拒绝 (%1)").arg(info.code);
        case FollowerState::NodeDisconnected: return QStringLiteral("节点断开");
        case FollowerState::Waiting: break;
    }
    return QStringLiteral("等待中");
}

}  // namespace app
