#include "device/device_geometry.h"

#include <QWidget>

namespace app {

QSize DeviceMinimumSize(bool landscape) { return landscape ? QSize(424, 256) : QSize(256, 424); }

QSize AspectSize(const QSize& size, ResizeEdge edge, bool landscape, bool maximised) {
    int w = size.width(), h = size.height();
    if (edge == ResizeEdge::TopBottom) {
        if (!landscape) {
            w = (h - 40) * 720 / 1280 + 40;
        } else if (!maximised) {
            w = (h - 40) * 1280 / 720 + 40;
        }
    } else if (edge == ResizeEdge::LeftRight) {
        if (!landscape) {
            h = (w - 40) * 1280 / 720 + 40;
        } else if (!maximised) {
            h = (w - 40) * 720 / 1280 + 40;
        }
    }
    return QSize(w, h);
}

void TurnViewTo(QWidget& view, bool landscape) {
    const QSize size = view.size();
    const bool keep = landscape ? size.width() >= size.height() : size.height() >= size.width();
    if (!keep) {
        view.setMinimumSize(0, 0);
        view.resize(size.height(), size.width());
    }
}

}  // namespace app
