#include "window/frameless_resizer.h"

#include <QMouseEvent>

#include "platform/window_ops.h"

namespace app {

FramelessResizer::FramelessResizer(QWidget* window, int border) : QObject(window), m_window(window), m_border(border) {
    Watch(window);
}

void FramelessResizer::Watch(QWidget* widget) {
    widget->setMouseTracking(true);
    widget->installEventFilter(this);
}

Qt::Edges FramelessResizer::EdgesAt(const QPoint& pos, const QSize& size, int b) {
    const int x = pos.x(), y = pos.y(), w = size.width(), h = size.height();
    if (x < b && y < b) return Qt::TopEdge | Qt::LeftEdge;
    if (x < b && y > h - b) return Qt::BottomEdge | Qt::LeftEdge;
    if (x > w - b && y < b) return Qt::TopEdge | Qt::RightEdge;
    if (x > w - b && y > h - b) return Qt::BottomEdge | Qt::RightEdge;
    if (x < b) return Qt::LeftEdge;
    if (x > w - b) return Qt::RightEdge;
    if (y < b) return Qt::TopEdge;
    if (y > h - b) return Qt::BottomEdge;
    return Qt::Edges();
}

QRect FramelessResizer::Resized(const QRect& start, Qt::Edges edges, const QPoint& delta, const QSize& minSize,
                                const QSize& maxSize) {
    QRect r = start;
    auto clampW = [&](int w) { return qBound(minSize.width(), w, maxSize.width()); };
    auto clampH = [&](int h) { return qBound(minSize.height(), h, maxSize.height()); };
    if (edges & Qt::LeftEdge) r.setLeft(start.right() + 1 - clampW(start.width() - delta.x()));
    if (edges & Qt::RightEdge) r.setWidth(clampW(start.width() + delta.x()));
    if (edges & Qt::TopEdge) r.setTop(start.bottom() + 1 - clampH(start.height() - delta.y()));
    if (edges & Qt::BottomEdge) r.setHeight(clampH(start.height() + delta.y()));
    return r;
}

void FramelessResizer::UpdateCursor(QWidget* widget, Qt::Edges edges) {
    if (edges == Qt::Edges()) {
        if (m_cursorWidget) {
            m_cursorWidget->unsetCursor();
            m_cursorWidget.clear();
        }
        return;
    }
    Qt::CursorShape shape = Qt::SizeVerCursor;
    if (edges == (Qt::TopEdge | Qt::LeftEdge) || edges == (Qt::BottomEdge | Qt::RightEdge)) shape = Qt::SizeFDiagCursor;
    else if (edges == (Qt::TopEdge | Qt::RightEdge) || edges == (Qt::BottomEdge | Qt::LeftEdge)) shape = Qt::SizeBDiagCursor;
    else if (edges & (Qt::LeftEdge | Qt::RightEdge)) shape = Qt::SizeHorCursor;
    widget->setCursor(shape);
    m_cursorWidget = widget;
}

bool FramelessResizer::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseMove && type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease) {
        return false;
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (!widget || m_window->isMaximized() || m_window->isFullScreen()) {
        return false;
    }
    const QPoint local = m_window->mapFromGlobal(mouse->globalPos());
    if (m_dragEdges != Qt::Edges()) {  // resizing by hand
        if (type == QEvent::MouseMove) {
            m_window->setGeometry(Resized(m_startGeometry, m_dragEdges, mouse->globalPos() - m_startCursor,
                                          m_window->minimumSize(), m_window->maximumSize()));
        } else if (type == QEvent::MouseButtonRelease) {
            m_dragEdges = Qt::Edges();
        }
        return true;
    }
    const Qt::Edges edges = EdgesAt(local, m_window->size(), m_border);
    if (type == QEvent::MouseMove && mouse->buttons() == Qt::NoButton) {
        UpdateCursor(widget, edges);
        return false;
    }
    if (type == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton && edges != Qt::Edges()) {
        if (!platform::StartSystemResize(m_window, edges)) {
            m_dragEdges = edges;
            m_startGeometry = m_window->geometry();
            m_startCursor = mouse->globalPos();
        }
        return true;
    }
    return false;
}

}  // namespace app
