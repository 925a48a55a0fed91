#include "device/device_geometry.h"

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

}  // namespace app
