#pragma once
// The in-house back end of a group window: one group SDK object plays the
// main phone (the first of its devices) into the view's picture and copies
// every input to the other phones of its device list through the
// group-control nodes. Sub-channels get the input repeated.
#include <QHash>
#include <QSet>
#include <QList>
#include <QPointer>
#include <QSize>
#include <QTimer>

#include <memory>

#include "device/channel_object_interface.h"
#include "device/follower_source.h"
#include "device/group_device.h"
#include "device/lumet_group_notic.h"

namespace mosaic_sdk {
class IMosaicSdk;
struct QvPicGCSysParam;
}  // namespace mosaic_sdk

namespace app {

class CQVSinglePhoneNotic;
class GuiRelay;
class YunDeviceLabel;

class LumetMutiChannelObject : public ChannelObjectInterface, public FollowerSource {
public:
    LumetMutiChannelObject(QString windowId, QString userId, QString deviceId, QList<GroupDevice> devices,
                           QString channelAppId, QString channelSecret);
    ~LumetMutiChannelObject() override;

    // Starts the group and shows the main phone in target's picture.
    void start(int orientation, int quality, int width, int height, QWidget* target) override;
    // A sub-channel: starts its group without showing its main phone.
    void attach(QWidget* widget) override;
    // Ends the group (and every sub-channel's).
    void stop() override;
    void sendControlKey(int which) override;
    void sendTouch(int action, int x, int y) override;
    void sendKey(int virtualKey) override;
    void sendText(const QString& text) override;
    void setQuality(int level) override;
    void changeVolume(bool up) override;
    void displayResized(int width, int height) override;
    void resumeSync() override;
    void pauseSync() override;
    // Makes the phone with this device id the main phone.
    void syncOperation(const QString& text) override;
    void forwardCharMessage(const NativeCharMessage& message) override;
    bool isInputActive() override { return m_inputActive; }
    void setInputActiveCallback(std::function<void(bool)> callback) override;
    // The main phone's figures and the group's.
    bool queryStats(StreamStats& stats) override;

    // FollowerSource
    QList<FollowerInfo> Followers() const override;
    void SetFollowersChanged(std::function<void()> callback) override;
    void MakeMain(const QString& deviceId) override { syncOperation(deviceId); }

    // The group-control record the window starts its group with.
    static mosaic_sdk::QvPicGCSysParam GroupRecord();
    bool SyncRunning() const { return secondFlag; }
    bool Started() const { return m_started; }  // the group reported its start
    bool Shown() const { return m_shown; }
    bool MainPlaying() const { return m_firstFrame; }  // the main phone's first frame arrived
    QString MainDevice() const { return m_mainDevice; }
    QSize StreamSize() const { return m_streamSize; }
    const QList<GroupDevice>& Devices() const { return m_devices; }

private:
    void Begin(QWidget* target, bool show);
    QList<QByteArray> DeviceIds() const;
    void OnStarted(int code);
    void OnFirstFrame();
    void OnRotation(int rotation);
    void OnInputActive(bool active);
    void OnTable(const QString& mainNo, const QVector<GroupInstanceState>& table);
    void OnNodes(const QVector<GroupNodeState>& nodes);
    // The state a follower's table entry and its node give.
    FollowerState StateOf(const GroupInstanceState& entry, int& code) const;
    void OnPicture(const QString& instanceNo, const QImage& picture);
    void Show(bool turned);
    void Poll();
    void NotifyFollowers();
    bool ToGroup() const { return SyncRunning() || !deviceId.isEmpty(); }
    template <typename Fn>
    void ForEachSub(Fn fn) {
        for (const auto& sub : subChannels) if (sub) fn(*sub);
    }

    QList<GroupDevice> m_devices;
    std::shared_ptr<mosaic_sdk::IMosaicSdk> m_sdk;
    std::shared_ptr<CQVSinglePhoneNotic> m_phoneNotic;
    std::shared_ptr<CPicGCNotic> m_groupNotic;
    std::shared_ptr<GuiRelay> m_relay;
    QPointer<QWidget> m_target;
    QPointer<YunDeviceLabel> m_picture;
    std::unique_ptr<QTimer> m_pollTimer;
    bool m_show = false;
    bool m_started = false;
    bool m_shown = false;
    bool m_firstFrame = false;  // the main phone plays (its picture may wait for the group)
    bool m_inputActive = false;
    QSize m_streamSize{720, 1280};
    QString m_mainDevice;
    std::function<void(bool)> m_inputCallback;
    std::function<void()> m_followersChanged;
    QHash<QString, GroupInstanceState> m_table;
    QHash<QString, GroupNodeState> m_nodes;
    // Nodes whose link went down (or was never made) and has not come back;
    // a link that is connecting again stays in it.
    QSet<QString> m_nodesDown;
    QHash<QString, QImage> m_pictures;
};

}  // namespace app
