#include "keymap/key_marker.h"

#include <QDebug>
#include <QMouseEvent>
#include <QRegularExpressionValidator>

namespace app {

KeyMarker::KeyMarker(QWidget* editor, const QColor& accent) : QWidget(editor), m_accent(accent) {
    setAttribute(Qt::WA_TranslucentBackground);
}

void KeyMarker::SetCenter(const QPoint& center) { move(center - QPoint(width() / 2, height() / 2)); }

void KeyMarker::FollowMouse() {
    m_offset = QPoint(width() / 2, height() / 2);
    m_dragging = true;
    grabMouse();
}

QLineEdit* KeyMarker::MakeKeyEdit(const QString& objectName) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(objectName);
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[a-z0-9]*")), edit));
    edit->setMaxLength(1);
    edit->setAlignment(Qt::AlignCenter);
    edit->setFixedSize(26, 22);
    edit->setStyleSheet(QStringLiteral("background:white;border-radius:4px;border:1px solid %1;color:black;")
                            .arg(m_accent.name()));
    connect(edit, &QLineEdit::textChanged, this, [this, edit](const QString& text) { emit keyEdited(edit, text); });
    return edit;
}

void KeyMarker::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    m_offset = event->pos();
    m_dragging = true;
    const QPoint c = Center();
    qInfo().noquote() << "POS:" << c.x() << c.y() - 40;
}

void KeyMarker::mouseMoveEvent(QMouseEvent* event) {
    if (m_dragging && parentWidget()) {
        move(parentWidget()->mapFromGlobal(event->globalPos()) - m_offset);
    }
}

void KeyMarker::mouseReleaseEvent(QMouseEvent* event) {
    if (!m_dragging) {
        return;
    }
    m_dragging = false;
    if (QWidget::mouseGrabber() == this) {
        releaseMouse();
    }
    if (parentWidget()) {
        move(parentWidget()->mapFromGlobal(event->globalPos()) - m_offset);
    }
    emit dropped(this);
}

}  // namespace app
