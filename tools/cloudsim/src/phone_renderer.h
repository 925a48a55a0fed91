#pragma once
// Draws a phone state into a canvas of the state's size.
#include <string>

#include "canvas.h"
#include "synthetic_phone.h"

namespace cloudsim {

// The colour of the newest touch marker; nothing else on the screen is this red.
constexpr Rgb kMarkerColor = MakeRgb(255, 0, 0);
constexpr int kMarkerRadius = 18;

// clock: the text shown in the status bar (e.g. "12:34:56").
void RenderPhone(const PhoneState& state, const std::string& name, const std::string& clock, Canvas& canvas);

// "HH:MM:SS" of the local time.
std::string ClockText();

}  // namespace cloudsim
