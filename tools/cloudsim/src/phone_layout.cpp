#include "phone_layout.h"

namespace cloudsim {
namespace {

const char* const kAppLabels[] = {"Browser", "Camera", "Mic",   "Notes", "Music", "Maps",
                                  "Mail",    "Photos", "Clock", "Games", "Store", "Settings"};

PhoneLayout MakeLayout(bool landscape) {
    PhoneLayout layout;
    layout.width = landscape ? kPhoneLongSide : kPhoneShortSide;
    layout.height = landscape ? kPhoneShortSide : kPhoneLongSide;
    const int w = layout.width;
    const int h = layout.height;
    layout.statusBar = {0, 0, w, 56};
    layout.textField = {40, landscape ? 80 : 96, w - 80, landscape ? 80 : 88};
    layout.clipboardLine = {40, layout.textField.y + layout.textField.h + 16, w - 80, 40};
    const int navHeight = landscape ? 80 : 96;
    layout.navBar = {0, h - navHeight, w, navHeight};
    const int keyWidth = w / 3;
    layout.navKeys = {{NavButton::kBack, {0, h - navHeight, keyWidth, navHeight}},
                      {NavButton::kHome, {keyWidth, h - navHeight, keyWidth, navHeight}},
                      {NavButton::kMenu, {2 * keyWidth, h - navHeight, w - 2 * keyWidth, navHeight}}};

    const int columns = landscape ? 6 : 4;
    const int gridTop = layout.clipboardLine.y + layout.clipboardLine.h + 24;
    const int cellWidth = w / columns;
    const int cellHeight = landscape ? 190 : 200;
    const int iconSize = 112;
    int index = 0;
    for (const char* label : kAppLabels) {
        AppIcon app;
        app.label = label;
        const int col = index % columns;
        const int row = index / columns;
        app.cell = {col * cellWidth, gridTop + row * cellHeight, cellWidth, cellHeight};
        app.icon = {app.cell.x + (cellWidth - iconSize) / 2, app.cell.y + 16, iconSize, iconSize};
        if (app.label == "Camera") app.role = AppRole::kCamera;
        if (app.label == "Mic") app.role = AppRole::kMicrophone;
        layout.apps.push_back(app);
        ++index;
    }
    return layout;
}

}  // namespace

const PhoneLayout& LayoutFor(bool landscape) {
    static const PhoneLayout portrait = MakeLayout(false);
    static const PhoneLayout wide = MakeLayout(true);
    return landscape ? wide : portrait;
}

}  // namespace cloudsim
