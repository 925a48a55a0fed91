#pragma once
// JPEG pictures of a phone screen for the screenshot URLs.
#include <cstdint>
#include <string>
#include <vector>

#include "canvas.h"

namespace cloudsim {

struct JpegSettings {
    int quality = 80;       // 1..100, larger is better
    int scalePercent = 100; // 1..100 of the screen size
    int quarterTurns = 0;   // clockwise turns, 0..3
};

// Encodes picture as baseline JPEG; false with error filled on failure.
bool EncodeJpeg(const Canvas& picture, const JpegSettings& settings, std::vector<uint8_t>& out, std::string* error);

// Turns a picture clockwise by quarter turns.
Canvas RotateCanvas(const Canvas& picture, int quarterTurns);

}  // namespace cloudsim
