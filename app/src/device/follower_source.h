#pragma once
// What the follower panel of a group window shows: every follower of the
// group (the phones that copy the main phone's input) with its picture and
// state. Multi-device back ends implement it beside ChannelObjectInterface;
// everything here runs on the GUI thread.
#include <QImage>
#include <QList>
#include <QString>

#include <functional>

namespace app {

enum class FollowerState {
    Waiting,           // no state reported yet
    Controlling,       // receives the main phone's input
    Paused,            // taken out of the sync for now
    Refused,           // the platform or its node refused it (code says why)
    NodeDisconnected,  // the link to the node that serves it is down, or could not be made
};

struct FollowerInfo {
    QString deviceId;
    FollowerState state = FollowerState::Waiting;
    int code = 0;     // the refusal code for Refused
    QImage picture;   // null until the first picture
};

class FollowerSource {
public:
    virtual ~FollowerSource() = default;
    // The followers in the order of the group's device list (the main phone left out).
    virtual QList<FollowerInfo> Followers() const = 0;
    // Called after followers, states or pictures changed.
    virtual void SetFollowersChanged(std::function<void()> callback) = 0;
    // Makes the follower the main phone of the group.
    virtual void MakeMain(const QString& deviceId) = 0;
};

// "控制中", "已暂停", "已拒绝 (code)", "节点断开", "等待中".
QString FollowerStateText(const FollowerInfo& info);

}  // namespace app
