#pragma once
// Edge resizing of a device view (also while maximised): finds the edge
// under a press within 4 pixels of the border, records its kind in the view
// and resizes, through the window manager when it can, by hand otherwise.
#include <QObject>
#include <QPoint>
#include <QRect>

namespace app {

class KovraYunBaseView;

class DeviceEdgeResizer : public QObject {
    Q_OBJECT
public:
    explicit DeviceEdgeResizer(KovraYunBaseView* view);
    void Watch(QWidget* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    KovraYunBaseView* m_view;
    Qt::Edges m_dragEdges;
    QRect m_startGeometry;
    QPoint m_startCursor;
};

}  // namespace app
