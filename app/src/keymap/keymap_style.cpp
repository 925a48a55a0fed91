#include "keymap/keymap_style.h"

#include "context/brand.h"

namespace app {

KeymapStyle CurrentKeymapStyle() {
    if (IsTessivoBrand()) {
        return {QStringLiteral(":/image/assets/normal_click_tessivo.png"),
                QStringLiteral(":/image/assets/wheel_click_tessivo.png"),
                QStringLiteral("#saveBtn{border-radius:25px;background:qlineargradient(spread:pad, x1:0, y1:1, "
                               "x2:0, y2:0,stop:0 #6714CC, stop:0.98 #286FF8);color:white}"),
                QStringLiteral("#widget_4{border-radius:8px;border: 1px solid #9D4DFF;}"), QColor("#9D4DFF")};
    }
    return {QStringLiteral(":/image/assets/normal_click.png"), QStringLiteral(":/image/assets/wheel_click.png"),
            QStringLiteral("#saveBtn{border-radius:25px;background:qlineargradient(spread:pad, x1:0, y1:1, "
                           "x2:0, y2:0,stop:0 #E8C38F, stop:0.98 #CAA672);color:black}"),
            QStringLiteral("#widget_4{border-radius:8px;border: 1px solid #D9B581;}"), QColor(184, 126, 28, 255)};
}

}  // namespace app
