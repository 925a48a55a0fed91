#pragma once
// A 5x7 bitmap font for printable ASCII, enough for the synthetic phone's
// labels, clock and text field.
#include <cstdint>

namespace cloudsim {

constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 7;

// Seven rows of the glyph for c, bit 4 being the leftmost column; characters
// outside 32..126 give the '?' glyph.
const uint8_t* GlyphRows(char c);

}  // namespace cloudsim
