#pragma once
// The vendor back end of a device view: a swplay_u player whose 720 x 1280
// frames the view paints into its picture label when a new one arrives, and
// again when the label's size or the turn changes.
#include <QPointer>

#include <memory>

#include "device/channel_object_interface.h"
#include "swplay_u/video_display.h"

namespace swplay_u {
class SWPlayer;
class SWDataSource;
}  // namespace swplay_u

namespace app {

class GuiRelay;
class KovraDisplaySizeListener;
class MySWDataSourceListener;

class KovraChannelObject : public ChannelObjectInterface, public swplay_u::VideoDisplayWinBase {
public:
    KovraChannelObject(QString windowId, QString userId, QString deviceId, QString channelAppId,
                       QString channelSecret);
    ~KovraChannelObject() override;

    void start(int orientation, int quality, int width, int height, QWidget* target) override;
    void paintFrame(QLabel* label) override;
    void stop() override;
    void sendControlKey(int which) override;
    void sendTouch(int action, int x, int y) override;
    void sendKey(int virtualKey) override;
    void sendText(const QString& text) override;
    void setQuality(int level) override;
    void changeVolume(bool up) override;
    void sendInputString(const QString& text) override;
    // While the phone takes text, typed characters (258) and input-method
    // text (270) go as input strings.
    void forwardCharMessage(const NativeCharMessage& message) override;
    bool isInputActive() override;
    void setInputActiveCallback(std::function<void(bool)> callback) override;
    bool queryStats(StreamStats& stats) override;

    bool Started() const { return m_started; }
    // Phone coordinates of a point in the picture (as sendTouch computes them).
    static QPoint PhonePoint(int x, int y, const QSize& targetSize, bool landscape);

protected:
    void onFrameReady() override;

private:
    void OnRotation(int rotation);

    std::shared_ptr<GuiRelay> m_relay;
    std::unique_ptr<MySWDataSourceListener> m_listener;
    std::unique_ptr<KovraDisplaySizeListener> m_sizeListener;
    std::unique_ptr<swplay_u::SWPlayer> m_player;
    std::unique_ptr<swplay_u::SWDataSource> m_source;
    QPointer<QWidget> m_target;
    std::function<void(bool)> m_pendingCallback;
    int m_quality = 1;
    bool m_started = false;
    uint64_t m_paintedFrames = 0;
    QSize m_paintedSize;
    bool m_paintedLandscape = false;
};

}  // namespace app
