#include "device/device_edge_resizer.h"

#include <QMouseEvent>

#include "device/kovra_yun_base_view.h"
#include "platform/window_ops.h"
#include "window/frameless_resizer.h"

namespace app {
namespace {

const int kBorder = 4;

// Left or right edge: 1; top or bottom: 2; corners keep the kind they had.
ResizeEdge EdgeKind(Qt::Edges edges, ResizeEdge current) {
    const bool horizontal = edges & (Qt::LeftEdge | Qt::RightEdge);
    const bool vertical = edges & (Qt::TopEdge | Qt::BottomEdge);
    if (horizontal && !vertical) return ResizeEdge::LeftRight;
    if (vertical && !horizontal) return ResizeEdge::TopBottom;
    return current;
}

}  // namespace

DeviceEdgeResizer::DeviceEdgeResizer(KovraYunBaseView* view) : QObject(view), m_view(view) { Watch(view); }

void DeviceEdgeResizer::Watch(QWidget* widget) {
    widget->setMouseTracking(true);
    widget->installEventFilter(this);
}

bool DeviceEdgeResizer::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseMove && type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease) {
        return false;
    }
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (m_dragEdges != Qt::Edges()) {
        if (type == QEvent::MouseMove) {
            m_view->setGeometry(FramelessResizer::Resized(m_startGeometry, m_dragEdges,
                                                          mouse->globalPos() - m_startCursor, m_view->minimumSize(),
                                                          m_view->maximumSize()));
        } else if (type == QEvent::MouseButtonRelease) {
            m_dragEdges = Qt::Edges();
        }
        return true;
    }
    const Qt::Edges edges =
        FramelessResizer::EdgesAt(m_view->mapFromGlobal(mouse->globalPos()), m_view->size(), kBorder);
    auto* widget = qobject_cast<QWidget*>(watched);
    if (type == QEvent::MouseMove && mouse->buttons() == Qt::NoButton && widget) {
        if (edges == Qt::Edges()) {
            widget->unsetCursor();
        } else {
            widget->setCursor((edges & (Qt::LeftEdge | Qt::RightEdge)) && !(edges & (Qt::TopEdge | Qt::BottomEdge))
                                  ? Qt::SizeHorCursor
                                  : ((edges & (Qt::LeftEdge | Qt::RightEdge)) ? Qt::SizeFDiagCursor : Qt::SizeVerCursor));
        }
        return false;
    }
    if (type == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton && edges != Qt::Edges()) {
        m_view->SetResizeEdge(EdgeKind(edges, m_view->CurrentResizeEdge()));
        if (!platform::StartSystemResize(m_view, edges)) {
            m_dragEdges = edges;
            m_startGeometry = m_view->geometry();
            m_startCursor = mouse->globalPos();
        }
        return true;
    }
    return false;
}

}  // namespace app
