#pragma once
// The device view's size rules: minimum sizes and the phone's aspect ratio
// for the picture (the view minus the 40-pixel title bar and side bar).
#include <QSize>

class QWidget;

namespace app {

enum class ResizeEdge { None = 0, LeftRight = 1, TopBottom = 2 };

QSize DeviceMinimumSize(bool landscape);
// The size a resize by edge ends at; maximised landscape views keep theirs.
QSize AspectSize(const QSize& size, ResizeEdge edge, bool landscape, bool maximised);
// Swaps the view's width and height when the phone turned to the other
// orientation than the view's shape shows.
void TurnViewTo(QWidget& view, bool landscape);

}  // namespace app
