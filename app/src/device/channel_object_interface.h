#pragma once
// The streaming back end behind a device view. The view calls these from the
// GUI thread; a back end moves its SDK's notifications to the GUI thread
// before they touch a widget.
#include <QLabel>
#include <QList>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

#include "device/native_char_message.h"
#include "device/stream_stats.h"

namespace app {

class ChannelObjectInterface {
public:
    ChannelObjectInterface(QString windowId, QString userId, QString deviceId, QString channelAppId,
                           QString channelSecret)
        : windowId(std::move(windowId)),
          userId(std::move(userId)),
          deviceId(std::move(deviceId)),
          channelAppId(std::move(channelAppId)),
          channelSecret(std::move(channelSecret)) {}
    virtual ~ChannelObjectInterface() = default;
    ChannelObjectInterface(const ChannelObjectInterface&) = delete;
    ChannelObjectInterface& operator=(const ChannelObjectInterface&) = delete;

    QString windowId;
    QString userId;
    QString deviceId;
    QString channelAppId;
    QString channelSecret;
    int titleBarHeight = 40;
    int sideBarWidth = 40;
    QList<std::shared_ptr<ChannelObjectInterface>> subChannels;
    bool landscape = false;
    bool secondFlag = true;

    virtual void start(int orientation, int quality, int width, int height, QWidget* target) = 0;
    virtual void paintFrame(QLabel* label) {}
    virtual void stop() {}
    // 0 home, 1 back, 2 menu.
    virtual void sendControlKey(int which) {}
    // action 0 down, 1 up, 2 move; picture label coordinates.
    virtual void sendTouch(int action, int x, int y) {}
    // A Windows virtual-key code.
    virtual void sendKey(int virtualKey) {}
    virtual void sendText(const QString& text) {}
    // 1 high, 2 standard, 3 normal.
    virtual void setQuality(int level) {}
    virtual void changeVolume(bool up) {}
    virtual void displayResized(int width, int height) {}
    virtual void resumeSync() {}
    virtual void pauseSync() {}
    virtual void syncOperation(const QString& text) {}
    virtual void attach(QWidget* widget) {}
    virtual void setLandscape(bool on) { landscape = on; }
    virtual void forwardCharMessage(const NativeCharMessage& message) {}
    virtual void sendInputString(const QString& text) {}
    virtual bool isInputActive() { return false; }
    virtual void setInputActiveCallback(std::function<void(bool)> callback) {}
    // Beyond the designed operations: the figures of the statistics overlay,
    // from the back end's SDK; false when it has none (not playing).
    virtual bool queryStats(StreamStats& stats) { return false; }
};

}  // namespace app
