#pragma once
// Edge resizing of a frameless window: watches the window and the widgets on
// top of it, shows the resize cursor near an edge and resizes on a drag from
// there (through the window manager when it can, by hand otherwise).
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QWidget>

namespace app {

class FramelessResizer : public QObject {
    Q_OBJECT
public:
    FramelessResizer(QWidget* window, int border);

    // Also watch a widget that covers the window's edges.
    void Watch(QWidget* widget);

    // The edges under pos (window coordinates) of a window of size, with a
    // border of that width; empty away from the edges.
    static Qt::Edges EdgesAt(const QPoint& pos, const QSize& size, int border);
    // The geometry after dragging edges of start by delta, kept within the
    // minimum and maximum sizes.
    static QRect Resized(const QRect& start, Qt::Edges edges, const QPoint& delta, const QSize& minSize,
                         const QSize& maxSize);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void UpdateCursor(QWidget* widget, Qt::Edges edges);

    QWidget* m_window;
    int m_border;
    Qt::Edges m_dragEdges;
    QRect m_startGeometry;
    QPoint m_startCursor;
    QPointer<QWidget> m_cursorWidget;
};

}  // namespace app
