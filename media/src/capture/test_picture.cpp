#include <algorithm>
#include <cstdio>
#include <cstring>

#include "capture/synthetic_producers.h"

namespace capture {

namespace {

struct Yuv {
    uint8_t y, u, v;
};

// BT.601 limited range, what the encoders and decoders assume.
Yuv ToYuv(const uint8_t rgb[3]) {
    const double r = rgb[0], g = rgb[1], b = rgb[2];
    auto clamp = [](double x) { return static_cast<uint8_t>(x < 0 ? 0 : x > 255 ? 255 : x + 0.5); };
    return {clamp(16 + (65.481 * r + 128.553 * g + 24.966 * b) / 255.0),
            clamp(128 + (-37.797 * r - 74.203 * g + 112.0 * b) / 255.0),
            clamp(128 + (112.0 * r - 93.786 * g - 18.214 * b) / 255.0)};
}

// 3 x 5 glyphs for the clock: digits, ':' and '.'; bit 2 is the left column.
const uint8_t kGlyphs[12][5] = {
    {7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 7, 1, 7}, {5, 5, 7, 1, 1}, {7, 4, 7, 1, 7},
    {7, 4, 7, 5, 7}, {7, 1, 1, 1, 1}, {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7}, {0, 2, 0, 2, 0}, {0, 0, 0, 0, 2},
};

int GlyphIndex(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    return c == ':' ? 10 : 11;
}

class Painter {
public:
    Painter(int width, int height, std::vector<uint8_t>& out) : m_w(width), m_h(height), m_out(out) {}

    void Fill(int x0, int y0, int x1, int y1, const Yuv& c) {
        x0 = std::max(0, x0);
        y0 = std::max(0, y0);
        x1 = std::min(m_w, x1);
        y1 = std::min(m_h, y1);
        if (x0 >= x1 || y0 >= y1) return;
        uint8_t* yPlane = m_out.data();
        for (int y = y0; y < y1; ++y) std::memset(yPlane + static_cast<size_t>(y) * m_w + x0, c.y, x1 - x0);
        const int cw = (m_w + 1) / 2;
        const int ch = (m_h + 1) / 2;
        uint8_t* uPlane = yPlane + static_cast<size_t>(m_w) * m_h;
        uint8_t* vPlane = uPlane + static_cast<size_t>(cw) * ch;
        for (int y = y0 / 2; y < (y1 + 1) / 2; ++y) {
            std::memset(uPlane + static_cast<size_t>(y) * cw + x0 / 2, c.u, (x1 + 1) / 2 - x0 / 2);
            std::memset(vPlane + static_cast<size_t>(y) * cw + x0 / 2, c.v, (x1 + 1) / 2 - x0 / 2);
        }
    }

    void Text(int x, int y, int scale, const Yuv& c, const char* text) {
        for (; *text; ++text, x += 4 * scale) {
            const uint8_t* glyph = kGlyphs[GlyphIndex(*text)];
            for (int row = 0; row < 5; ++row) {
                for (int col = 0; col < 3; ++col) {
                    if (glyph[row] & (4 >> col)) {
                        Fill(x + col * scale, y + row * scale, x + (col + 1) * scale, y + (row + 1) * scale, c);
                    }
                }
            }
        }
    }

private:
    int m_w, m_h;
    std::vector<uint8_t>& m_out;
};

}  // namespace

const uint8_t TestPicture::kQuadrantRgb[4][3] = {{230, 40, 40}, {40, 200, 60}, {40, 60, 220}, {230, 220, 40}};

void TestPicture::RenderI420(int width, int height, int64_t frameNumber, int64_t clockMs, std::vector<uint8_t>& out) {
    if (width < 2 || height < 2) {
        out.clear();
        return;
    }
    const size_t cw = static_cast<size_t>((width + 1) / 2);
    const size_t ch = static_cast<size_t>((height + 1) / 2);
    out.resize(static_cast<size_t>(width) * height + 2 * cw * ch);
    Painter paint(width, height, out);
    const int midX = width / 2;
    const int midY = height / 2;
    paint.Fill(0, 0, midX, midY, ToYuv(kQuadrantRgb[kTopLeft]));
    paint.Fill(midX, 0, width, midY, ToYuv(kQuadrantRgb[kTopRight]));
    paint.Fill(0, midY, midX, height, ToYuv(kQuadrantRgb[kBottomLeft]));
    paint.Fill(midX, midY, width, height, ToYuv(kQuadrantRgb[kBottomRight]));
    // The band: an eighth of the height around the middle.
    const int band = std::max(8, height / 8);
    const uint8_t dark[3] = {40, 40, 40};
    const uint8_t white[3] = {250, 250, 250};
    paint.Fill(0, midY - band / 2, width, midY + band / 2, ToYuv(dark));
    const int box = band * 2 / 3;
    const int travel = std::max(1, width - box);
    const int boxX = static_cast<int>((frameNumber * 8) % travel);
    paint.Fill(boxX, midY - box / 2, boxX + box, midY + box / 2, ToYuv(white));
    const int64_t ms = ((clockMs % 86400000) + 86400000) % 86400000;
    char clock[16];
    std::snprintf(clock, sizeof(clock), "%02d:%02d:%02d.%03d", static_cast<int>(ms / 3600000),
                  static_cast<int>(ms / 60000 % 60), static_cast<int>(ms / 1000 % 60), static_cast<int>(ms % 1000));
    const int scale = std::max(1, band / 8);
    paint.Text(std::max(0, midX - 6 * 4 * scale), midY - 5 * scale / 2, scale, ToYuv(white), clock);
}

}  // namespace capture
