#include "keymap/key_set_view.h"

#include <QPainter>

namespace app {

KeySetView::KeySetView(QWidget* editor, const QColor& accent) : KeyMarker(editor, accent) {
    setObjectName(QStringLiteral("KeySetView"));
    resize(kSize, kSize);
    m_edit = MakeKeyEdit(QStringLiteral("keyEdit"));
    m_edit->move((kSize - m_edit->width()) / 2, (kSize - m_edit->height()) / 2);
}

void KeySetView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(m_accent, 3));
    QColor fill = m_accent;
    fill.setAlpha(90);
    painter.setBrush(fill);
    painter.drawEllipse(rect().adjusted(2, 2, -2, -2));
}

}  // namespace app
