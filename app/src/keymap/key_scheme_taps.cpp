#include "keymap/key_scheme_taps.h"

namespace app {

QList<QPoint> KeySchemeTaps(const KeySetData& scheme, const QString& keyText, const QSize& viewSize) {
    QList<QPoint> taps;
    if (keyText.isEmpty()) {
        return taps;
    }
    const bool landscape = viewSize.height() < viewSize.width();
    const double sx = viewSize.width() / (landscape ? 808.0 : 472.0);
    const double sy = viewSize.height() / (landscape ? 472.0 : 808.0);
    auto scaled = [&](double x, double y) { return QPoint(static_cast<int>(x * sx), static_cast<int>(y * sy)); };
    for (const KeyStoreItem& item : scheme.keys) {
        if (item.key == keyText) {
            taps.append(scaled(item.x, item.y));
        }
    }
    const WheelData& w = scheme.wheel;
    if (!w.shown) {
        return taps;
    }
    const double x = w.x, y = w.y;
    const double vertical = (w.height - 50) * 0.25;
    if (w.up == keyText) {
        taps.append(scaled(x, y - 13 - vertical));
    } else if (w.down == keyText) {
        taps.append(scaled(x, y - 13 + vertical));
    } else if (w.left == keyText) {
        taps.append(scaled(x - w.width * 0.25, y));
    } else if (w.right == keyText) {
        taps.append(scaled(x + w.width * 0.25, y));
    }
    return taps;
}

}  // namespace app
