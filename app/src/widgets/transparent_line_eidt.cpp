#include "widgets/transparent_line_eidt.h"

#include <QPaintEvent>
#include <QPainter>

namespace app {

void TransparentLineEidt::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setClipRegion(event->region());
    painter.drawText(rect(), Qt::AlignLeft, text());
}

}  // namespace app
