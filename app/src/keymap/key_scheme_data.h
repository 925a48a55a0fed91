#pragma once
// One key scheme: single keys mapped to points on the phone's screen and an
// optional walking pad of four keys. Coordinates are marker centres in the
// editor's reference picture (808 x 472 landscape, 472 x 808 portrait).
#include <QList>
#include <QString>

namespace app {

struct KeyStoreItem {
    QString key;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct WheelData {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool shown = false;
    QString up;
    QString down;
    QString left;
    QString right;
};

struct KeySetData {
    int index = 0;
    QString schemeName;
    WheelData wheel;
    QList<KeyStoreItem> keys;
};

}  // namespace app
