#pragma once
// A combo box that lets every key press through to its parent, so the
// device view's keyboard keeps working while the box has focus.
#include <QComboBox>

namespace app {

class CustomComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit CustomComboBox(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace app
