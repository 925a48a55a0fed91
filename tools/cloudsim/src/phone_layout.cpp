#include "phone_layout.h"

namespace cloudsim {
namespace {

const char* const kAppLabels[] = {"Browser", "Camera", "Mic",   "Notes", "Music", "Maps",
                                  "Mail",    "Photos", "Clock", "Games", "Store", "Settings"};

}  // namespace

PhoneLayout LayoutFor(int width, int height) {
    PhoneLayout layout;
    layout.width = width;
    layout.height = height;
    const bool landscape = width > height;
    const int w = width;
    const int h = height;
    // Sizes below are those of the 720-pixel short side, scaled.
    const int shortSide = landscape ? h : w;
    auto px = [shortSide](int value) { return value * shortSide / kPhoneShortSide; };
    layout.statusBar = {0, 0, w, 56};
    layout.textField = {px(40), px(landscape ? 80 : 96), w - 2 * px(40), px(landscape ? 80 : 88)};
    layout.clipboardLine = {px(40), layout.textField.y + layout.textField.h + px(16), w - 2 * px(40), px(40)};
    const int navHeight = px(landscape ? 80 : 96);
    layout.navBar = {0, h - navHeight, w, navHeight};
    const int keyWidth = w / 3;
    layout.navKeys = {{NavButton::kBack, {0, h - navHeight, keyWidth, navHeight}},
                      {NavButton::kHome, {keyWidth, h - navHeight, keyWidth, navHeight}},
                      {NavButton::kMenu, {2 * keyWidth, h - navHeight, w - 2 * keyWidth, navHeight}}};

    const int columns = landscape ? 6 : 4;
    const int gridTop = layout.clipboardLine.y + layout.clipboardLine.h + px(24);
    const int cellWidth = w / columns;
    const int cellHeight = px(landscape ? 190 : 200);
    const int iconSize = px(112);
    int index = 0;
    for (const char* label : kAppLabels) {
        AppIcon app;
        app.label = label;
        const int col = index % columns;
        const int row = index / columns;
        app.cell = {col * cellWidth, gridTop + row * cellHeight, cellWidth, cellHeight};
        app.icon = {app.cell.x + (cellWidth - iconSize) / 2, app.cell.y + px(16), iconSize, iconSize};
        if (app.label == "Camera") app.role = AppRole::kCamera;
        if (app.label == "Mic") app.role = AppRole::kMicrophone;
        layout.apps.push_back(app);
        ++index;
    }
    return layout;
}

PhoneLayout LayoutFor(bool landscape) {
    return landscape ? LayoutFor(kPhoneLongSide, kPhoneShortSide) : LayoutFor(kPhoneShortSide, kPhoneLongSide);
}

}  // namespace cloudsim
