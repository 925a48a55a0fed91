#include "phone_renderer.h"

#include <ctime>

#include "phone_layout.h"

namespace cloudsim {
namespace {

constexpr Rgb kBackground = MakeRgb(0xDD, 0xE3, 0xEA);
constexpr Rgb kBarColor = MakeRgb(0x20, 0x25, 0x2B);
constexpr Rgb kBarText = MakeRgb(0xF0, 0xF0, 0xF0);
constexpr Rgb kFieldColor = MakeRgb(0xFF, 0xFF, 0xFF);
constexpr Rgb kFieldBorder = MakeRgb(0x90, 0x98, 0xA0);
constexpr Rgb kFocusBorder = MakeRgb(0x1E, 0x6F, 0xD9);
constexpr Rgb kInk = MakeRgb(0x10, 0x10, 0x10);
constexpr Rgb kHint = MakeRgb(0x90, 0x90, 0x90);
constexpr Rgb kOldMarker = MakeRgb(0x7F, 0x5F, 0xBF);
constexpr Rgb kSwitchOn = MakeRgb(0x2E, 0xCC, 0x71);
// Icon colours keep clear of red so the touch marker stands out.
constexpr Rgb kIconColors[] = {MakeRgb(0x2E, 0x86, 0xDE), MakeRgb(0x10, 0xAC, 0x84), MakeRgb(0x8E, 0x44, 0xAD),
                               MakeRgb(0x16, 0xA0, 0x85), MakeRgb(0xF1, 0xC4, 0x0F), MakeRgb(0x3B, 0x3B, 0x98),
                               MakeRgb(0x27, 0xAE, 0x60), MakeRgb(0x29, 0x80, 0xB9), MakeRgb(0x6C, 0x5C, 0xE7),
                               MakeRgb(0x00, 0xB8, 0x94), MakeRgb(0x09, 0x84, 0xE3), MakeRgb(0x63, 0x6E, 0x72)};

void DrawStatusBar(const PhoneState& state, const PhoneLayout& layout, const std::string& name,
                   const std::string& clock, Canvas& canvas) {
    const Rect& bar = layout.statusBar;
    canvas.FillRect(bar, kBarColor);
    const int scale = 3;
    const int textY = bar.y + (bar.h - 7 * scale) / 2;
    canvas.DrawText(16, textY, scale, kBarText, name.substr(0, 16));
    canvas.DrawText((bar.w - Canvas::TextWidth(scale, clock.size())) / 2, textY, scale, kBarText, clock);
    const std::string volume = "VOL " + std::to_string(state.volume);
    int x = bar.w - 16 - Canvas::TextWidth(scale, volume.size());
    canvas.DrawText(x, textY, scale, kBarText, volume);
    if (state.micOn) {
        x -= Canvas::TextWidth(scale, 4);
        canvas.DrawText(x, textY, scale, kSwitchOn, "MIC");
    }
    if (state.cameraOn) {
        x -= Canvas::TextWidth(scale, 4);
        canvas.DrawText(x, textY, scale, kSwitchOn, "CAM");
    }
}

void DrawTextField(const PhoneState& state, const PhoneLayout& layout, Canvas& canvas) {
    const Rect& field = layout.textField;
    canvas.FillRect(field, kFieldColor);
    canvas.FrameRect(field, state.focused ? 4 : 2, state.focused ? kFocusBorder : kFieldBorder);
    const int scale = 4;
    const int textX = field.x + 16;
    const int textY = field.y + (field.h - 7 * scale) / 2;
    const size_t fits = static_cast<size_t>((field.w - 40) / ((5 + 1) * scale));
    if (state.text.empty() && !state.focused) {
        canvas.DrawText(textX, textY, scale, kHint, "Tap to type");
        return;
    }
    const std::string shown = state.text.size() > fits ? state.text.substr(state.text.size() - fits) : state.text;
    const int width = canvas.DrawText(textX, textY, scale, kInk, shown);
    if (state.focused) canvas.FillRect({textX + width + 2, textY - 4, 4, 7 * scale + 8}, kFocusBorder);
}

void DrawClipboard(const PhoneState& state, const PhoneLayout& layout, Canvas& canvas) {
    const Rect& line = layout.clipboardLine;
    const int scale = 3;
    const size_t fits = static_cast<size_t>(line.w / ((5 + 1) * scale));
    std::string text = "Clipboard: " + state.clipboard;
    if (text.size() > fits) text = text.substr(0, fits);
    canvas.DrawText(line.x, line.y + (line.h - 7 * scale) / 2, scale, kInk, text);
}

void DrawApps(const PhoneState& state, const PhoneLayout& layout, Canvas& canvas) {
    for (size_t i = 0; i < layout.apps.size(); ++i) {
        const AppIcon& app = layout.apps[i];
        canvas.FillRect(app.icon, kIconColors[i % (sizeof(kIconColors) / sizeof(kIconColors[0]))]);
        if (static_cast<int>(i) == state.openApp) canvas.FrameRect(app.icon, 6, kInk);
        const int scale = 2;
        const int labelWidth = Canvas::TextWidth(scale, app.label.size());
        canvas.DrawText(app.cell.x + (app.cell.w - labelWidth) / 2, app.icon.y + app.icon.h + 12, scale, kInk,
                        app.label);
    }
}

void DrawNavBar(const PhoneLayout& layout, Canvas& canvas) {
    canvas.FillRect(layout.navBar, kBarColor);
    const int scale = 5;
    for (const auto& key : layout.navKeys) {
        const char* symbol = key.button == NavButton::kBack ? "<" : key.button == NavButton::kHome ? "O" : "=";
        canvas.DrawText(key.area.x + (key.area.w - 5 * scale) / 2, key.area.y + (key.area.h - 7 * scale) / 2, scale,
                        kBarText, symbol);
    }
}

void DrawMarks(const PhoneState& state, Canvas& canvas) {
    for (size_t i = 0; i < state.marks.size(); ++i) {
        const bool newest = i + 1 == state.marks.size();
        canvas.FillCircle(state.marks[i].x, state.marks[i].y, kMarkerRadius, newest ? kMarkerColor : kOldMarker);
    }
}

}  // namespace

void RenderPhone(const PhoneState& state, const std::string& name, const std::string& clock, Canvas& canvas) {
    const PhoneLayout layout = LayoutFor(state.width, state.height);
    canvas.Fill(kBackground);
    DrawStatusBar(state, layout, name, clock, canvas);
    DrawTextField(state, layout, canvas);
    DrawClipboard(state, layout, canvas);
    DrawApps(state, layout, canvas);
    DrawNavBar(layout, canvas);
    DrawMarks(state, canvas);
}

std::string ClockText() {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    localtime_r(&now, &parts);
    char text[16];
    std::strftime(text, sizeof(text), "%H:%M:%S", &parts);
    return text;
}

}  // namespace cloudsim
