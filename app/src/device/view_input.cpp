// The device view's keyboard and text paths: keys to virtual-key codes,
// Ctrl+V paste, the hidden text field for input-method text, native
// character messages and key-scheme taps.
#include <QApplication>
#include <QClipboard>
#include <QDebug>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QWindow>

#include "device/channel_object_interface.h"
#include "device/kovra_yun_base_view.h"
#include "device/native_char_message.h"
#include "device/stats_overlay_control.h"
#include "keymap/key_scheme_taps.h"

namespace app {

void KovraYunBaseView::keyPressEvent(QKeyEvent* event) {
    if (m_stats->HandleKeyPress(event)) return;  // the overlay's shortcut stays off the phone
    qInfo().noquote() << "keyPressEvent:" << event->text();
    if (event->key() == Qt::Key_Control) {
        m_ctrlHeld = true;
        qInfo().noquote() << "ctrlPressed1 ";
    }
}

void KovraYunBaseView::keyReleaseEvent(QKeyEvent* event) {
    if (m_stats->HandleKeyRelease(event)) {
        if (event->key() == Qt::Key_Control) m_ctrlHeld = false;
        return;
    }
    if (!m_channel) {
        return;
    }
    const bool inputActive = m_channel->isInputActive();
    if (inputActive) {
        m_ui.channelLineEdit->setFocus();
    }
    const int key = event->key();
    if (key == Qt::Key_V) {
        m_vHeld = true;
        qInfo().noquote() << "ctrlPressed 2";
    }
    if (key == Qt::Key_Control) {
        m_ctrlHeld = false;
    } else if (m_ctrlHeld && m_vHeld) {
        const QString text = QApplication::clipboard()->text();
        if (!text.isEmpty()) {
            m_channel->sendText(text);
        }
        m_vHeld = false;
        return;
    }
    if (key == Qt::Key_V) {
        m_vHeld = false;
    }
    if (!inputActive) {
        ApplyKeyScheme(event->text());
    }
    m_channel->sendKey(m_keyTable.value(key, 0));
}

void KovraYunBaseView::ApplyKeyScheme(const QString& keyText) {
    if (!m_keyMappingEnabled) {
        return;
    }
    for (const QPoint& p : KeySchemeTaps(m_keyScheme, keyText, size())) {
        m_channel->sendTouch(0, p.x(), p.y());
        m_channel->sendTouch(1, p.x(), p.y());
    }
}

void KovraYunBaseView::ConnectTextPath() {
    connect(m_ui.channelLineEdit, &QLineEdit::textChanged, this, &KovraYunBaseView::OnLineEditText);
    m_ui.channelLineEdit->installEventFilter(this);
}

void KovraYunBaseView::OnLineEditText(const QString& text) {
    qInfo().noquote() << "channelLineEdit:" << text;
    static const QRegularExpression latin(QStringLiteral("[a-zA-Z0-9]+"));
    // Keys already went as key events; the empty text the clearing leaves is
    // not sent either (it would wipe what was just copied).
    if (m_channel && !text.isEmpty() && !latin.match(text).hasMatch()) {
        m_channel->sendText(text);
    }
    if (!text.isEmpty()) {
        m_ui.channelLineEdit->clear();
    }
}

bool KovraYunBaseView::eventFilter(QObject* watched, QEvent* event) {
    if (!m_channel) {
        return false;
    }
    if (watched == windowHandle() && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) {
            return false;  // shortcuts and Ctrl+Space type nothing on the phone
        }
        const std::vector<NativeCharMessage> messages = CharMessagesOf(key->text());
        for (const NativeCharMessage& m : messages) {
            m_channel->forwardCharMessage(m);
        }
        // While the phone takes text, a typed character has gone as text:
        // the hidden text field must not get it too and send it again.
        return m_channel->isInputActive() && TypesCharacter(key->text());
    } else if (watched == m_ui.channelLineEdit && event->type() == QEvent::InputMethod) {
        const QByteArray text = static_cast<QInputMethodEvent*>(event)->commitString().toUtf8();
        if (!text.isEmpty()) {
            m_channel->forwardCharMessage(
                {NativeCharMessage::kImeEnd, 0, static_cast<uint64_t>(reinterpret_cast<uintptr_t>(text.constData()))});
        }
    }
    return false;
}

}  // namespace app
