#include "keymap/wheel_view.h"

#include <QPainter>
#include <QWheelEvent>

namespace app {

WheelView::WheelView(QWidget* editor, const QColor& accent) : KeyMarker(editor, accent) {
    setObjectName(QStringLiteral("WheelView"));
    m_up = MakeKeyEdit(QStringLiteral("upEdit"));
    m_down = MakeKeyEdit(QStringLiteral("downEdit"));
    m_left = MakeKeyEdit(QStringLiteral("leftEdit"));
    m_right = MakeKeyEdit(QStringLiteral("rightEdit"));
    m_caption = new QLabel(QStringLiteral("点击可编辑，滚轮可缩放"), this);
    m_caption->setObjectName(QStringLiteral("wheelCaption"));
    m_caption->setAlignment(Qt::AlignCenter);
    resize(kDefaultSize, kDefaultSize);
    LayOut();
}

void WheelView::SetKeys(const QString& up, const QString& down, const QString& left, const QString& right) {
    m_up->setText(up);
    m_down->setText(down);
    m_left->setText(left);
    m_right->setText(right);
}

void WheelView::SetPadSize(int width, int height) {
    const QPoint center = Center();
    resize(qBound(kMinSize, width, kMaxSize), qBound(kMinSize, height, kMaxSize));
    SetCenter(center);
    LayOut();
    update();
}

WheelData WheelView::Data() const {
    WheelData data;
    const QPoint c = Center();
    data.x = c.x();
    data.y = c.y() - 40;
    data.width = width();
    data.height = height();
    data.shown = !isHidden();
    data.up = m_up->text();
    data.down = m_down->text();
    data.left = m_left->text();
    data.right = m_right->text();
    return data;
}

void WheelView::LayOut() {
    const int w = width(), h = height();
    const int ew = m_up->width(), eh = m_up->height();
    m_up->move((w - ew) / 2, h / 8);
    m_down->move((w - ew) / 2, h - h / 8 - eh);
    m_left->move(w / 8, (h - eh) / 2);
    m_right->move(w - w / 8 - ew, (h - eh) / 2);
    QFont font = m_caption->font();
    font.setPixelSize(qMax(8, w / 14));
    m_caption->setFont(font);
    m_caption->setStyleSheet(QStringLiteral("color:%1;background:transparent;").arg(m_accent.name()));
    m_caption->setGeometry(0, h / 2 + eh / 2 + 2, w, qMax(12, h / 8));
}

void WheelView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor fill = m_accent;
    fill.setAlpha(70);
    painter.setPen(QPen(m_accent, 3));
    painter.setBrush(fill);
    const QRect circle = rect().adjusted(2, 2, -2, -2);
    painter.drawEllipse(circle);
    painter.setPen(QPen(m_accent, 2, Qt::DashLine));
    const QPoint c = rect().center();
    const int arm = width() / 5;
    painter.drawLine(c.x() - arm, c.y(), c.x() + arm, c.y());
    painter.drawLine(c.x(), c.y() - arm, c.x(), c.y() + arm);
}

void WheelView::wheelEvent(QWheelEvent* event) {
    const int step = event->angleDelta().y() > 0 ? kStep : (event->angleDelta().y() < 0 ? -kStep : 0);
    if (step != 0) {
        SetPadSize(width() + step, height() + step);
    }
    event->accept();
}

}  // namespace app
