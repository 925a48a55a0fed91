#include "device/yun_device_label.h"

#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>

#include "device/channel_object_interface.h"

namespace app {

YunDeviceLabel::YunDeviceLabel(const QString& windowId, QWidget* parent) : QLabel(parent), m_windowId(windowId) {
    setObjectName(QStringLiteral("yunViewLabel"));
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setMinimumSize(1, 1);
    setFocus();
}

void YunDeviceLabel::ReserveForNativeVideo() {
    m_nativeVideo = true;
    setAttribute(Qt::WA_NativeWindow);
    setAttribute(Qt::WA_DontCreateNativeAncestors);
    setAttribute(Qt::WA_PaintOnScreen);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_OpaquePaintEvent);
    winId();
}

QPaintEngine* YunDeviceLabel::paintEngine() const { return m_nativeVideo ? nullptr : QLabel::paintEngine(); }

void YunDeviceLabel::paintEvent(QPaintEvent* event) {
    if (!m_nativeVideo) {
        QLabel::paintEvent(event);
    }
}

bool YunDeviceLabel::event(QEvent* event) {
    // Ctrl+Space opens the system input method; neither its press nor its
    // release reaches the phone.
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride ||
        event->type() == QEvent::KeyRelease) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Space && key->modifiers() == Qt::ControlModifier) {
            if (event->type() == QEvent::KeyPress) {
                QGuiApplication::inputMethod()->show();
            }
            event->accept();
            return true;
        }
    }
    return QLabel::event(event);
}

void YunDeviceLabel::mousePressEvent(QMouseEvent* event) {
    if (m_channel) m_channel->sendTouch(0, event->pos().x(), event->pos().y());
}

void YunDeviceLabel::mouseMoveEvent(QMouseEvent* event) {
    if (m_channel) m_channel->sendTouch(2, event->pos().x(), event->pos().y());
}

void YunDeviceLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (m_channel) m_channel->sendTouch(1, event->pos().x(), event->pos().y());
}

void YunDeviceLabel::inputMethodEvent(QInputMethodEvent* event) {
    const QByteArray text = event->commitString().toUtf8();
    if (m_channel && !text.isEmpty()) {
        m_channel->forwardCharMessage(
            {NativeCharMessage::kImeEnd, 0, static_cast<uint64_t>(reinterpret_cast<uintptr_t>(text.constData()))});
    }
    event->accept();
}

QVariant YunDeviceLabel::inputMethodQuery(Qt::InputMethodQuery query) const {
    if (query == Qt::ImEnabled) {
        return true;
    }
    return QLabel::inputMethodQuery(query);
}

}  // namespace app
