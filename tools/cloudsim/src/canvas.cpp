#include "canvas.h"

#include <algorithm>

#include "bitmap_font.h"

namespace cloudsim {

Canvas::Canvas(int width, int height)
    : m_width(std::max(width, 1)), m_height(std::max(height, 1)),
      m_pixels(static_cast<size_t>(m_width) * m_height, 0) {}

Rgb Canvas::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) return 0;
    return m_pixels[static_cast<size_t>(y) * m_width + x];
}

void Canvas::Set(int x, int y, Rgb color) {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) return;
    m_pixels[static_cast<size_t>(y) * m_width + x] = color;
}

void Canvas::Fill(Rgb color) { std::fill(m_pixels.begin(), m_pixels.end(), color); }

void Canvas::FillRect(const Rect& rect, Rgb color) {
    const int x0 = std::max(rect.x, 0);
    const int y0 = std::max(rect.y, 0);
    const int x1 = std::min(rect.x + rect.w, m_width);
    const int y1 = std::min(rect.y + rect.h, m_height);
    for (int y = y0; y < y1; ++y) {
        Rgb* row = &m_pixels[static_cast<size_t>(y) * m_width];
        std::fill(row + x0, row + std::max(x0, x1), color);
    }
}

void Canvas::FrameRect(const Rect& rect, int thickness, Rgb color) {
    FillRect({rect.x, rect.y, rect.w, thickness}, color);
    FillRect({rect.x, rect.y + rect.h - thickness, rect.w, thickness}, color);
    FillRect({rect.x, rect.y, thickness, rect.h}, color);
    FillRect({rect.x + rect.w - thickness, rect.y, thickness, rect.h}, color);
}

void Canvas::FillCircle(int cx, int cy, int radius, Rgb color) {
    for (int dy = -radius; dy <= radius; ++dy) {
        int half = 0;
        while ((half + 1) * (half + 1) + dy * dy <= radius * radius) ++half;
        FillRect({cx - half, cy + dy, 2 * half + 1, 1}, color);
    }
}

int Canvas::TextWidth(int scale, size_t characters) {
    return static_cast<int>(characters) * (kGlyphWidth + 1) * scale;
}

int Canvas::DrawText(int x, int y, int scale, Rgb color, const std::string& text) {
    int penX = x;
    for (char c : text) {
        const uint8_t* rows = GlyphRows(c);
        for (int row = 0; row < kGlyphHeight; ++row) {
            for (int col = 0; col < kGlyphWidth; ++col) {
                if (rows[row] & (0x10 >> col)) {
                    FillRect({penX + col * scale, y + row * scale, scale, scale}, color);
                }
            }
        }
        penX += (kGlyphWidth + 1) * scale;
    }
    return penX - x;
}

}  // namespace cloudsim
