#pragma once
// A software picture of 32-bit pixels (0x00RRGGBB; in memory B, G, R, 0 on
// little-endian machines) with the few drawing operations the phone needs.
// Everything is clipped to the picture.
#include <cstdint>
#include <string>
#include <vector>

namespace cloudsim {

using Rgb = uint32_t;
constexpr Rgb MakeRgb(uint8_t r, uint8_t g, uint8_t b) {
    return (static_cast<Rgb>(r) << 16) | (static_cast<Rgb>(g) << 8) | b;
}

struct Rect {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
    bool Contains(int px, int py) const { return px >= x && py >= y && px < x + w && py < y + h; }
};

class Canvas {
public:
    Canvas(int width, int height);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    const Rgb* Pixels() const { return m_pixels.data(); }
    Rgb At(int x, int y) const;
    void Set(int x, int y, Rgb color);

    void Fill(Rgb color);
    void FillRect(const Rect& rect, Rgb color);
    void FrameRect(const Rect& rect, int thickness, Rgb color);
    void FillCircle(int cx, int cy, int radius, Rgb color);
    // Text in the built-in font, each font pixel drawn as scale x scale; returns the advance width.
    int DrawText(int x, int y, int scale, Rgb color, const std::string& text);
    static int TextWidth(int scale, size_t characters);

private:
    int m_width;
    int m_height;
    std::vector<Rgb> m_pixels;
};

}  // namespace cloudsim
