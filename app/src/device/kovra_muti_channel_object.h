#pragma once
// The vendor back end of a group window: one player, listener and data
// source per phone of its device list. The first phone is played into the
// view's picture; every other one plays as a screen cast into an
// off-screen display of its own (a MutiBaseView), and the main phone's
// input is copied to it while the sync runs.
#include <QPointer>
#include <QSize>

#include <atomic>
#include <functional>
#include <map>
#include <memory>

#include "device/channel_object_interface.h"
#include "device/follower_source.h"
#include "device/group_device.h"
#include "swplay_u/video_display.h"

namespace swplay_u {
class SWPlayer;
class SWDataSource;
}  // namespace swplay_u

namespace app {

class GuiRelay;
class MySWDataSourceListener;

// A follower's display: frames are kept, never shown by the player itself.
class MutiBaseView : public swplay_u::VideoDisplayWinBase {
public:
    explicit MutiBaseView(std::function<void()> onFrame) : m_onFrame(std::move(onFrame)) {}
    // The view paints from this display while its phone is the main phone.
    std::atomic<bool> shown{false};

protected:
    void onFrameReady() override {
        if (shown && m_onFrame) m_onFrame();
    }

private:
    std::function<void()> m_onFrame;
};

// Screen turns of one phone's display.
class MyPlayDataSourceListener : public swplay_u::SWDisplaySizeListener {
public:
    explicit MyPlayDataSourceListener(std::function<void(int)> onRotation) : m_onRotation(std::move(onRotation)) {}
    void onScreenRotation(int rotation) override { m_onRotation(rotation); }

private:
    std::function<void(int)> m_onRotation;
};

class KovraMutiChannelObject : public ChannelObjectInterface,
                               public swplay_u::VideoDisplayWinBase,
                               public FollowerSource {
public:
    KovraMutiChannelObject(QString windowId, QList<GroupDevice> devices);
    ~KovraMutiChannelObject() override;

    void start(int orientation, int quality, int width, int height, QWidget* target) override;
    // A sub-channel: plays its phones without showing them.
    void attach(QWidget* widget) override;
    void paintFrame(QLabel* label) override;
    // Stops every player (and every sub-channel's).
    void stop() override;
    void sendControlKey(int which) override;
    void sendTouch(int action, int x, int y) override;
    void sendKey(int virtualKey) override;
    void sendText(const QString& text) override;
    void setQuality(int level) override;
    void changeVolume(bool up) override;
    void resumeSync() override;
    void pauseSync() override;
    // Makes the phone with this device id the main phone.
    void syncOperation(const QString& text) override;
    void sendInputString(const QString& text) override;
    void forwardCharMessage(const NativeCharMessage& message) override;
    bool isInputActive() override;
    void setInputActiveCallback(std::function<void(bool)> callback) override;
    // The main phone's figures; the followers are controlled while the sync runs.
    bool queryStats(StreamStats& stats) override;

    // FollowerSource
    QList<FollowerInfo> Followers() const override;
    void SetFollowersChanged(std::function<void()> callback) override { m_followersChanged = std::move(callback); }
    void MakeMain(const QString& deviceId) override { syncOperation(deviceId); }

    bool SyncRunning() const { return secondFlag; }
    bool Started() const { return m_started; }
    QString MainDevice() const { return m_mainDevice; }
    int PlayerCount() const { return static_cast<int>(m_players.size()); }
    // A phone's last reported screen turn: 1 landscape, 0 portrait, -1 none yet.
    int Rotation(const QString& deviceId) const;
    // The last frame of a phone's display (null for an unknown phone).
    QImage Frame(const QString& deviceId) const;

protected:
    void onFrameReady() override;

private:
    void Begin(QWidget* target, bool show);
    void StartDevice(const GroupDevice& device, bool first);
    swplay_u::VideoDisplayWinBase* DisplayOf(const QString& deviceId) const;
    swplay_u::SWDataSource* MainSource() const;
    MySWDataSourceListener* MainListener() const;
    // op on the main phone's source, then, while the sync runs (or always),
    // on every other phone's.
    template <typename Op>
    void ToPhones(bool others, Op op);
    template <typename Fn>
    void ForEachSub(Fn fn) {
        for (const auto& sub : subChannels) if (sub) fn(*sub);
    }
    // A phone's screen turned (1 landscape, 0 portrait); the view follows the main phone's.
    void OnRotation(const QString& deviceId, int rotation);
    void FollowMainOrientation();
    void OnConnection(const QString& deviceId, bool connected);
    QSize PictureSize() const;

    QList<GroupDevice> m_devices;
    QString m_firstDevice;
    QString m_mainDevice;
    std::shared_ptr<GuiRelay> m_relay;
    // One per phone; each outlives its player.
    std::map<QString, std::unique_ptr<MyPlayDataSourceListener>> m_sizeListeners;
    std::map<QString, int> m_rotation;  // each phone's last reported screen turn
    std::map<QString, std::unique_ptr<MySWDataSourceListener>> m_listeners;
    std::map<QString, std::unique_ptr<swplay_u::SWDataSource>> m_sources;
    std::map<QString, std::unique_ptr<swplay_u::SWPlayer>> m_players;
    std::map<QString, std::unique_ptr<MutiBaseView>> m_displays;
    std::map<QString, int> m_connection;  // -1 never connected, 1 connected, 0 dropped
    std::atomic<bool> m_firstShown{true};
    QPointer<QWidget> m_target;
    bool m_show = false;
    bool m_started = false;
    int m_quality = 1;
    std::function<void(bool)> m_inputCallback;
    std::function<void()> m_followersChanged;
    // What the picture shows now, so an unchanged one is not set again.
    const swplay_u::VideoDisplayWinBase* m_paintedDisplay = nullptr;
    uint64_t m_paintedFrames = 0;
    QSize m_paintedSize;
    bool m_paintedLandscape = false;
};

}  // namespace app
