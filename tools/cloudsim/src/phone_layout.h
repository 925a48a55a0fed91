#pragma once
// Where things sit on the synthetic phone's screen, for drawing and for
// hit-testing touches. Portrait is 720 x 1280, landscape 1280 x 720.
#include <string>
#include <vector>

#include "canvas.h"

namespace cloudsim {

constexpr int kPhoneShortSide = 720;
constexpr int kPhoneLongSide = 1280;

// Apps on the home grid; the ones with a role do something when tapped.
enum class AppRole { kNone, kCamera, kMicrophone };

struct AppIcon {
    std::string label;
    Rect icon;
    Rect cell;
    AppRole role = AppRole::kNone;
};

enum class NavButton { kBack, kHome, kMenu };

struct NavKey {
    NavButton button;
    Rect area;
};

struct PhoneLayout {
    int width = 0;
    int height = 0;
    Rect statusBar;
    Rect textField;
    Rect clipboardLine;
    std::vector<AppIcon> apps;
    Rect navBar;
    std::vector<NavKey> navKeys;
};

// landscape: 1280 x 720, else 720 x 1280.
const PhoneLayout& LayoutFor(bool landscape);

}  // namespace cloudsim
