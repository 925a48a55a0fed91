#include "device/kovra_channel_object.h"

#include <QImage>
#include <QPixmap>
#include <QTransform>

#include <cstring>

#include "device/device_key_table.h"
#include "device/gui_relay.h"
#include "device/kovra_listeners.h"
#include "device/kovra_runtime.h"
#include "device/kovra_stream_stats.h"
#include "swplay_u/keyboard.h"
#include "swplay_u/sw_data_source.h"
#include "swplay_u/sw_player.h"

namespace app {

KovraChannelObject::KovraChannelObject(QString windowId, QString userId, QString deviceId, QString channelAppId,
                                       QString channelSecret)
    : ChannelObjectInterface(std::move(windowId), std::move(userId), std::move(deviceId), std::move(channelAppId),
                             std::move(channelSecret)),
      m_relay(std::make_shared<GuiRelay>()),
      m_listener(std::make_unique<MySWDataSourceListener>(m_relay)),
      m_player(std::make_unique<swplay_u::SWPlayer>()),
      m_source(std::make_unique<swplay_u::SWDataSource>(m_player->getId(), m_listener.get())) {
    std::shared_ptr<GuiRelay> relay = m_relay;
    m_sizeListener = std::make_unique<KovraDisplaySizeListener>(
        [this, relay](int rotation) { relay->Post([this, rotation] { OnRotation(rotation); }); });
}

KovraChannelObject::~KovraChannelObject() { stop(); }

void KovraChannelObject::start(int, int, int, int, QWidget* target) {
    if (m_started || !m_player) {
        return;
    }
    InitKovraRuntime();
    const int colon = channelSecret.lastIndexOf(QLatin1Char(':'));
    const QByteArray host = channelSecret.left(colon).toUtf8();
    const uint16_t port = colon < 0 ? 0 : channelSecret.mid(colon + 1).toUShort();
    m_source->setLoginParams(host.constData(), port, userId.toLongLong(), channelAppId.toUtf8().constData(),
                             deviceId.toUtf8().constData(), 0);
    m_source->setPlayParams("", 2, kKovraFrameWidth, kKovraFrameHeight, 20, 15, 4096, 40, 1, 1, 3, 1, 0);
    m_source->setBusinessType(1);
    const swplay_u::SWVideoLevel levels[4] = {KovraVideoLevel(1, 4096, 1), KovraVideoLevel(2, 2048, 2), KovraVideoLevel(3, 1024, 3),
                                              KovraVideoLevel(4, 512, 4)};
    m_source->setVideoLevels(levels, 4);
    m_source->setVideoLevel(1);
    m_player->setDataSource(m_source.get());
    setDstFormat(-1, kKovraFrameWidth, kKovraFrameHeight, 0);
    setDisplaySizeListener(m_sizeListener.get());
    m_player->setDisplay(this);
    m_player->start();
    m_target = target;
    m_started = true;
}

void KovraChannelObject::stop() {
    m_player.reset();
    m_source.reset();
    m_listener.reset();
    setDisplaySizeListener(nullptr);
    m_sizeListener.reset();
    m_relay->Close();
    m_started = false;
}

void KovraChannelObject::onFrameReady() {
    m_relay->Post([this] {
        if (m_target) m_target->update();
    });
}

void KovraChannelObject::paintFrame(QLabel* label) {
    if (!label || frameCount() == 0) {
        return;
    }
    // A new frame, or the last one at a new size or turn; an unchanged still
    // picture is not set again (setting it would schedule the next paint).
    const bool sameLook = label->size() == m_paintedSize && landscape == m_paintedLandscape;
    if (frameCount() == m_paintedFrames && sameLook) {
        return;
    }
    m_paintedSize = label->size();
    m_paintedLandscape = landscape;
    const uint8_t* data = lockFrame(&m_paintedFrames);
    QImage image(data, frameWidth(), frameHeight(), QImage::Format_RGB32);
    if (landscape) {
        image = image.transformed(QTransform().rotate(270));
    }
    const QPixmap pixmap = QPixmap::fromImage(image.scaled(label->size(), Qt::IgnoreAspectRatio));
    unlockFrame();
    label->setPixmap(pixmap);
}

QPoint KovraChannelObject::PhonePoint(int x, int y, const QSize& targetSize, bool landscape) {
    const int W = targetSize.width() - 40, H = targetSize.height() - 40;
    if (W <= 0 || H <= 0) {
        return QPoint(0, 0);
    }
    if (landscape) {
        return QPoint((H - y) * kKovraFrameWidth / H, x * kKovraFrameHeight / W);
    }
    return QPoint(x * kKovraFrameWidth / W, y * kKovraFrameHeight / H);
}

void KovraChannelObject::sendTouch(int action, int x, int y) {
    if (!m_started || !m_target) {
        return;
    }
    QPoint p = PhonePoint(x, y, m_target->size(), landscape);
    if (action == 1) {
        p = QPoint(-1, -1);
    }
    m_source->sendTouchEvent(action, 1, p.x(), p.y(), 1.0f);
}

void KovraChannelObject::sendControlKey(int which) {
    if (!m_started) return;
    const int codes[3] = {172, 158, 139};
    if (which >= 0 && which <= 2) m_source->sendKeyEvent(3, codes[which]);
}

void KovraChannelObject::changeVolume(bool up) {
    if (m_started) m_source->sendKeyEvent(3, up ? 115 : 114);
}

void KovraChannelObject::sendKey(int virtualKey) {
    if (!m_started) return;
    if (isInputActive() && IsCharacterVirtualKey(virtualKey)) {
        return;  // its character went as text (forwardCharMessage)
    }
    m_source->sendKeyEvent(3, swplay_u::Keyboard::GetInstance()->getKeyCode(virtualKey));
}

void KovraChannelObject::forwardCharMessage(const NativeCharMessage& message) {
    if (!m_started || !isInputActive()) return;
    if (message.message == NativeCharMessage::kChar && message.wParam >= 32 && message.wParam <= 126) {
        const char c = static_cast<char>(message.wParam);
        m_source->sendInputString(&c, 1);
    } else if (message.message == NativeCharMessage::kImeEnd && message.lParam != 0) {
        const char* text = reinterpret_cast<const char*>(static_cast<uintptr_t>(message.lParam));
        m_source->sendInputString(text, static_cast<int>(std::strlen(text)));
    }
}

void KovraChannelObject::sendText(const QString& text) {
    if (!m_started) return;
    const QByteArray bytes = text.toUtf8();
    m_source->copyToRemote(bytes.constData(), bytes.size());
}

void KovraChannelObject::sendInputString(const QString& text) {
    if (!m_started) return;
    const QByteArray bytes = text.toUtf8();
    m_source->sendInputString(bytes.constData(), bytes.size());
}

void KovraChannelObject::setQuality(int level) {
    m_quality = level;
    if (m_source) m_source->setVideoLevel(level);
}

bool KovraChannelObject::isInputActive() { return m_listener && m_listener->InputActive(); }

void KovraChannelObject::setInputActiveCallback(std::function<void(bool)> callback) {
    if (m_listener) m_listener->SetInputActiveCallback(std::move(callback));
}

void KovraChannelObject::OnRotation(int rotation) {
    if (rotation != 0 && rotation != 1) {
        return;
    }
    const bool turned = rotation == 1;
    if (turned == landscape) {
        return;
    }
    landscape = turned;
    if (m_target) {
        m_target->setMinimumSize(0, 0);
        m_target->resize(m_target->height(), m_target->width());
    }
}

bool KovraChannelObject::queryStats(StreamStats& stats) {
    swplay_u::SWStreamStats figures;
    if (!m_started || !m_source || m_source->getStreamStats(&figures) != 0) return false;
    stats = StreamStatsFromVendor(figures);
    return true;
}

}  // namespace app
