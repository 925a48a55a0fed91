#pragma once
// The brand's accents of the key-mapping editor.
#include <QColor>
#include <QString>

namespace app {

struct KeymapStyle {
    QString keySetIcon;   // icon of "keySetBtn"
    QString wheelIcon;    // icon of "wheelBtn"
    QString saveButton;   // style of "saveBtn"
    QString frame;        // style of "widget_4"
    QColor marker;        // marker outline and caption colour
};

// Purple for the tessivo brand, gold for corvo.
KeymapStyle CurrentKeymapStyle();

}  // namespace app
