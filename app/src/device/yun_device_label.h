#pragma once
// The phone's picture in a device view: mouse presses, moves and releases
// become touches; Control+Space opens the input method instead of reaching
// the phone; committed input-method text goes to the back end.
#include <QLabel>

#include <memory>

namespace app {

class ChannelObjectInterface;

class YunDeviceLabel : public QLabel {
    Q_OBJECT
public:
    explicit YunDeviceLabel(const QString& windowId, QWidget* parent = nullptr);

    void SetChannel(std::shared_ptr<ChannelObjectInterface> channel) { m_channel = std::move(channel); }
    // The picture is drawn natively by the back end into this widget's own
    // window: Qt paints nothing here from now on.
    void ReserveForNativeVideo();
    bool NativeVideo() const { return m_nativeVideo; }

    QPaintEngine* paintEngine() const override;

protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

private:
    QString m_windowId;
    std::shared_ptr<ChannelObjectInterface> m_channel;
    bool m_nativeVideo = false;
};

}  // namespace app
