#pragma once
// The screens of the phone's Camera and Mic apps: the picture the client's
// camera sends, and the level and frequency of the sound its microphone sends.
#include "canvas.h"
#include "cloudsim/uplink_view.h"
#include "phone_layout.h"

namespace cloudsim {

// The area between the status bar and the navigation bar.
Rect AppScreenArea(const PhoneLayout& layout);
// Where a picture of this size goes: as large as fits below the caption,
// centred, its aspect ratio kept.
Rect CameraPictureRect(const PhoneLayout& layout, int pictureWidth, int pictureHeight);

void DrawCameraScreen(const PhoneLayout& layout, const UplinkView& view, Canvas& canvas);
void DrawRecorderScreen(const PhoneLayout& layout, const UplinkView& view, Canvas& canvas);

}  // namespace cloudsim
