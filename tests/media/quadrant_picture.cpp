#include "quadrant_picture.h"

#include <cstdio>

namespace mediatest {

namespace {

struct Colour {
    uint8_t y, u, v;
};

// BT.601, limited range: red, green / blue, white.
constexpr Colour kQuadrants[2][2] = {{{82, 90, 240}, {145, 54, 34}}, {{41, 240, 110}, {235, 128, 128}}};
constexpr int kSide = 64;

}  // namespace

QuadrantPicture::QuadrantPicture() {
    m_i420.resize(kSide * kSide * 3 / 2);
    uint8_t* u = m_i420.data() + kSide * kSide;
    uint8_t* v = u + kSide * kSide / 4;
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) m_i420[y * kSide + x] = kQuadrants[y * 2 / kSide][x * 2 / kSide].y;
    }
    for (int y = 0; y < kSide / 2; ++y) {
        for (int x = 0; x < kSide / 2; ++x) {
            u[y * kSide / 2 + x] = kQuadrants[y * 4 / kSide][x * 4 / kSide].u;
            v[y * kSide / 2 + x] = kQuadrants[y * 4 / kSide][x * 4 / kSide].v;
        }
    }
    codec_interface::ICodecInterface::ImageWrapBuffer(m_i420.data(), static_cast<int>(m_i420.size()),
                                                      codec_interface::PIXEL_FORMAT_I420, kSide, kSide, m_picture);
}

std::string ColourName(uint32_t pixel) {
    const int r = pixel >> 16 & 0xFF, g = pixel >> 8 & 0xFF, b = pixel & 0xFF;
    const auto high = [](int c) { return c > 190; };
    const auto low = [](int c) { return c < 70; };
    if (high(r) && low(g) && low(b)) return "red";
    if (low(r) && high(g) && low(b)) return "green";
    if (low(r) && low(g) && high(b)) return "blue";
    if (high(r) && high(g) && high(b)) return "white";
    if (pixel == 0) return "black";
    char text[16];
    std::snprintf(text, sizeof(text), "%06x", pixel);
    return text;
}

std::string QuadrantColours(XDisplay& display, unsigned long window, const video_player::DisplayRect& rect) {
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    std::string colours;
    for (int qy : {1, 3}) {
        for (int qx : {1, 3}) {
            if (!colours.empty()) colours += ' ';
            colours += ColourName(display.Pixel(window, rect.left + w * qx / 4, rect.top + h * qy / 4));
        }
    }
    return colours;
}

std::string ExpectedQuadrants(int mode) {
    switch (mode) {
        case 1: return "green white red blue";
        case 2: return "white blue green red";
        case 3: return "blue red white green";
        default: return "red green blue white";
    }
}

}  // namespace mediatest
