#pragma once
// The statistics overlay: lines of figures in a dark box at the top left of
// a device view's picture. It takes no input: mouse events go through it to
// the picture (also at the X server, where the picture is a native window
// drawn by the SDK) and it never takes the keyboard focus.
#include <QPointer>
#include <QStringList>
#include <QWidget>

namespace app {

class StatsOverlay : public QWidget {
    Q_OBJECT
public:
    // A child of view placed over picture (a child of view too), within it.
    StatsOverlay(QWidget* view, QWidget* picture);

    void SetLines(const QStringList& lines);
    const QStringList& Lines() const { return m_lines; }
    // Follows the picture's place and stacking; the picture may have become a
    // native window, which this one must then be too, to stay above it.
    void FollowPicture();

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BecomeNative();

    QPointer<QWidget> m_picture;
    QStringList m_lines;
};

}  // namespace app
