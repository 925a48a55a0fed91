#pragma once
// Draws a phone state into a canvas of the state's size.
#include <string>

#include "canvas.h"
#include "cloudsim/uplink_view.h"
#include "synthetic_phone.h"

namespace cloudsim {

// The colour of the newest touch marker; nothing else on the screen is this red.
constexpr Rgb kMarkerColor = MakeRgb(255, 0, 0);
constexpr int kMarkerRadius = 18;

// clock: the text shown in the status bar (e.g. "12:34:56"). uplink (may be
// null) is what the open Camera or Mic app shows.
void RenderPhone(const PhoneState& state, const std::string& name, const std::string& clock, Canvas& canvas,
                 const UplinkView* uplink = nullptr);

// "HH:MM:SS" of the local time.
std::string ClockText();

}  // namespace cloudsim
