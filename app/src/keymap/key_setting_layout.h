#pragma once
// The widgets of the key-mapping editor, built in code.
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QWidget>

namespace app {

struct KeySettingLayout {
    QWidget* titleWidget = nullptr;
    QPushButton* closeBtn = nullptr;
    QWidget* left_base = nullptr;   // covers the device picture
    QWidget* right_base = nullptr;  // the tool panel
    QLabel* schemeNameLabel = nullptr;
    QPushButton* selectSchemeBtn = nullptr;
    QWidget* widget_4 = nullptr;    // frame around the two tool buttons
    QToolButton* keySetBtn = nullptr;
    QToolButton* wheelBtn = nullptr;
    QPushButton* restoreBtn = nullptr;
    QPushButton* saveBtn = nullptr;

    // Builds the widgets into editor; the picture area is pictureWidth wide.
    void setupUi(QWidget* editor);
    // Sizes the picture area and the editor: (pictureWidth + 400) x height.
    void Resize(QWidget* editor, int pictureWidth, int height);
};

}  // namespace app
