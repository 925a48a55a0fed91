#pragma once
// Common part of the editor's markers: dragging with the mouse (also right
// after creation, following the mouse until the button is released) and the
// one-key edits.
#include <QColor>
#include <QLineEdit>
#include <QPoint>
#include <QWidget>

namespace app {

class KeyMarker : public QWidget {
    Q_OBJECT
public:
    KeyMarker(QWidget* editor, const QColor& accent);

    // Follows the mouse from now until a button release (a marker just
    // created from a tool button).
    void FollowMouse();
    // Centre in the editor's coordinates; SetCenter moves it there.
    QPoint Center() const { return pos() + QPoint(width() / 2, height() / 2); }
    void SetCenter(const QPoint& center);

signals:
    void dropped(KeyMarker* marker);
    // An edit of this marker changed its text.
    void keyEdited(QLineEdit* edit, const QString& text);

protected:
    // A one-key edit ("[a-z0-9]*", one character) that reports its changes.
    QLineEdit* MakeKeyEdit(const QString& objectName);

    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

    QColor m_accent;

private:
    QPoint m_offset;
    bool m_dragging = false;
};

}  // namespace app
