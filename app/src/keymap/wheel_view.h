#pragma once
// The walking-pad marker: a circle with a cross and four one-key edits (up,
// down, left, right); the mouse wheel scales it.
#include <QLabel>

#include "keymap/key_marker.h"
#include "keymap/key_scheme_data.h"

namespace app {

class WheelView : public KeyMarker {
    Q_OBJECT
public:
    static constexpr int kDefaultSize = 160;
    static constexpr int kMinSize = 100;
    static constexpr int kMaxSize = 286;
    static constexpr int kStep = 6;

    WheelView(QWidget* editor, const QColor& accent);

    // Sets the four key texts (up, down, left, right).
    void SetKeys(const QString& up, const QString& down, const QString& left, const QString& right);
    QLineEdit* UpEdit() const { return m_up; }
    QLineEdit* DownEdit() const { return m_down; }
    QLineEdit* LeftEdit() const { return m_left; }
    QLineEdit* RightEdit() const { return m_right; }
    // Resizes around the centre, within kMinSize..kMaxSize, and lays the parts out.
    void SetPadSize(int width, int height);
    // The pad as stored: centre in reference coordinates (editor minus 40 in y).
    WheelData Data() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void LayOut();

    QLineEdit* m_up;
    QLineEdit* m_down;
    QLineEdit* m_left;
    QLineEdit* m_right;
    QLabel* m_caption;
};

}  // namespace app
