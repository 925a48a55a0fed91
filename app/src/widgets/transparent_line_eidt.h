#pragma once
// A line edit that paints only its text: no frame, background or cursor.
#include <QLineEdit>

namespace app {

class TransparentLineEidt : public QLineEdit {
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace app
