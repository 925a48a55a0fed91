#pragma once
// A 64 x 64 I420 picture of four coloured quadrants (top left red, top right
// green, bottom left blue, bottom right white) and a check of where each
// quadrant landed in a window after the player turned it.
#include <cstdint>
#include <string>
#include <vector>

#include "codec/codec_interface.h"
#include "video_player/video_player.h"
#include "x_display.h"

namespace mediatest {

class QuadrantPicture {
public:
    QuadrantPicture();
    const codec_interface::CVideoDecodeOutParam& Get() const { return m_picture; }

private:
    std::vector<uint8_t> m_i420;
    codec_interface::CVideoDecodeOutParam m_picture;
};

// "red", "green", "blue", "white", "black" or the pixel in hex.
std::string ColourName(uint32_t pixel);

// The colours at the centres of rect's quadrants (top left, top right,
// bottom left, bottom right), joined by spaces.
std::string QuadrantColours(XDisplay& display, unsigned long window, const video_player::DisplayRect& rect);

// What QuadrantColours reads after a draw in mode (quarter turns counter-clockwise).
std::string ExpectedQuadrants(int mode);

}  // namespace mediatest
