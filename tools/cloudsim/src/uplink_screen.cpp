#include "uplink_screen.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace cloudsim {

namespace {

constexpr Rgb kScreenColor = MakeRgb(0x0C, 0x0C, 0x0C);
constexpr Rgb kCaptionColor = MakeRgb(0xF0, 0xF0, 0xF0);
constexpr Rgb kDimColor = MakeRgb(0x80, 0x80, 0x80);
constexpr Rgb kMeterColor = MakeRgb(0x2E, 0xCC, 0x71);
constexpr Rgb kMeterTrack = MakeRgb(0x30, 0x30, 0x30);
constexpr int kCaptionHeight = 56;
constexpr int kCaptionScale = 3;

void Caption(const Rect& area, const std::string& text, Canvas& canvas) {
    canvas.DrawText(area.x + 16, area.y + (kCaptionHeight - 7 * kCaptionScale) / 2, kCaptionScale, kCaptionColor,
                    text);
}

}  // namespace

Rect AppScreenArea(const PhoneLayout& layout) {
    const int top = layout.statusBar.y + layout.statusBar.h;
    return {0, top, layout.width, layout.navBar.y - top};
}

Rect CameraPictureRect(const PhoneLayout& layout, int pictureWidth, int pictureHeight) {
    const Rect area = AppScreenArea(layout);
    const Rect room{area.x + 8, area.y + kCaptionHeight, area.w - 16, area.h - kCaptionHeight - 8};
    if (pictureWidth <= 0 || pictureHeight <= 0 || room.w <= 0 || room.h <= 0) return {room.x, room.y, 0, 0};
    const double scale = std::min(static_cast<double>(room.w) / pictureWidth,
                                  static_cast<double>(room.h) / pictureHeight);
    const int w = std::max(1, static_cast<int>(pictureWidth * scale));
    const int h = std::max(1, static_cast<int>(pictureHeight * scale));
    return {room.x + (room.w - w) / 2, room.y + (room.h - h) / 2, w, h};
}

void DrawCameraScreen(const PhoneLayout& layout, const UplinkView& view, Canvas& canvas) {
    const Rect area = AppScreenArea(layout);
    canvas.FillRect(area, kScreenColor);
    if (view.picture.empty() || view.pictureWidth <= 0 || view.pictureHeight <= 0) {
        Caption(area, "CAMERA: WAITING FOR PICTURES", canvas);
        return;
    }
    Caption(area,
            "CAMERA " + std::to_string(view.pictureWidth) + "x" + std::to_string(view.pictureHeight) + "  FRAMES " +
                std::to_string(view.cameraFrames),
            canvas);
    const Rect to = CameraPictureRect(layout, view.pictureWidth, view.pictureHeight);
    for (int y = 0; y < to.h; ++y) {
        const int sy = static_cast<int>(static_cast<long long>(y) * view.pictureHeight / to.h);
        const uint32_t* row = view.picture.data() + static_cast<size_t>(sy) * view.pictureWidth;
        for (int x = 0; x < to.w; ++x) {
            const int sx = static_cast<int>(static_cast<long long>(x) * view.pictureWidth / to.w);
            canvas.Set(to.x + x, to.y + y, row[sx] & 0x00FFFFFF);
        }
    }
}

void DrawRecorderScreen(const PhoneLayout& layout, const UplinkView& view, Canvas& canvas) {
    const Rect area = AppScreenArea(layout);
    canvas.FillRect(area, kScreenColor);
    if (view.micDecoded == 0) {
        Caption(area, "RECORDER: WAITING FOR SOUND", canvas);
        return;
    }
    Caption(area, "RECORDER " + std::to_string(view.micSampleRate) + " HZ " + std::to_string(view.micChannels) + " CH",
            canvas);
    const int scale = 5;
    const int x = area.x + 40;
    int y = area.y + kCaptionHeight + 60;
    const long level = std::lround(view.micLevelDb);
    const long frequency = std::lround(view.micFrequencyHz);
    canvas.DrawText(x, y, scale, kCaptionColor, "LEVEL " + std::to_string(level) + " DB");
    y += 7 * scale + 40;
    canvas.DrawText(x, y, scale, kCaptionColor, "FREQ " + std::to_string(frequency) + " HZ");
    y += 7 * scale + 60;
    // The meter spans -60 dB to 0 dB.
    const Rect track{x, y, area.w - 80, 40};
    canvas.FillRect(track, kMeterTrack);
    const double fill = std::clamp((view.micLevelDb + 60.0) / 60.0, 0.0, 1.0);
    canvas.FillRect({track.x, track.y, static_cast<int>(track.w * fill), track.h}, kMeterColor);
    y += track.h + 30;
    canvas.DrawText(x, y, 3, kDimColor, "PACKETS " + std::to_string(view.micDecoded));
}

}  // namespace cloudsim
