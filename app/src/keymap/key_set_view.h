#pragma once
// A single-key marker: a ring with a one-key edit in its middle.
#include "keymap/key_marker.h"

namespace app {

class KeySetView : public KeyMarker {
    Q_OBJECT
public:
    static constexpr int kSize = 50;
    KeySetView(QWidget* editor, const QColor& accent);

    QLineEdit* Edit() const { return m_edit; }
    QString Key() const { return m_edit->text(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLineEdit* m_edit;
};

}  // namespace app
