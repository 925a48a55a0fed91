#pragma once
// Where things sit on the synthetic phone's screen, for drawing and for
// hit-testing touches. Every phone has its own screen size (720 x 1280 in
// portrait unless configured otherwise); landscape swaps the sides, and the
// layout scales with the short side.
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

// The layout of a screen of width x height (landscape when wider than high).
PhoneLayout LayoutFor(int width, int height);
// The default phone: 1280 x 720 when landscape, else 720 x 1280.
PhoneLayout LayoutFor(bool landscape);

}  // namespace cloudsim
