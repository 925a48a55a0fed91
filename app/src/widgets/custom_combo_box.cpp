#include "widgets/custom_combo_box.h"

#include <QKeyEvent>

namespace app {

CustomComboBox::CustomComboBox(QWidget* parent) : QComboBox(parent) {
    setObjectName(QStringLiteral("CustomComboBox"));
    setWindowTitle(QStringLiteral("Form"));
}

void CustomComboBox::keyPressEvent(QKeyEvent* event) { event->ignore(); }

}  // namespace app
