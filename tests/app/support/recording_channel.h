#pragma once
// A back end that records what a device view asks of it, for tests of the
// view's own behaviour (the real back ends are tested against the local cloud).
#include <QList>
#include <QString>
#include <QStringList>

#include "device/channel_object_interface.h"

namespace apptest {

class RecordingChannel : public app::ChannelObjectInterface {
public:
    RecordingChannel() : ChannelObjectInterface("win-1", "demo-user", "CP-DEMO-0001", "app", "secret") {}

    void start(int orientation, int quality, int width, int height, QWidget* target) override {
        calls << QString("start %1 %2 %3 %4").arg(orientation).arg(quality).arg(width).arg(height);
    }
    void stop() override { calls << "stop"; }
    void sendControlKey(int which) override { calls << QString("control %1").arg(which); }
    void sendTouch(int action, int x, int y) override { calls << QString("touch %1 %2 %3").arg(action).arg(x).arg(y); }
    void sendKey(int key) override { calls << QString("key %1").arg(key); }
    void sendText(const QString& text) override { calls << "text " + text; }
    void setQuality(int level) override { calls << QString("quality %1").arg(level); }
    void changeVolume(bool up) override { calls << QString("volume %1").arg(up ? "up" : "down"); }
    void displayResized(int w, int h) override { resized << QSize(w, h); }
    void forwardCharMessage(const app::NativeCharMessage& m) override {
        if (m.message == app::NativeCharMessage::kImeEnd) {
            calls << QString("ime %1").arg(QString::fromUtf8(reinterpret_cast<const char*>(m.lParam)));
        } else {
            calls << QString("char %1").arg(m.wParam);
        }
    }
    bool isInputActive() override { return inputActive; }
    void setInputActiveCallback(std::function<void(bool)> cb) override { callback = std::move(cb); }

    // The calls that start with prefix.
    QStringList Calls(const QString& prefix) const { return calls.filter(QRegExp("^" + prefix)); }

    QStringList calls;
    QList<QSize> resized;
    bool inputActive = false;
    std::function<void(bool)> callback;
};

}  // namespace apptest
