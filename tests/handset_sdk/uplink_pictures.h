#pragma once
// Reading the synthetic camera's test picture back: which quadrant colour a
// place shows, and where a quadrant of the source lands after the uplink's
// quarter turn.
#include <cstdint>
#include <functional>
#include <vector>

#include "capture/synthetic_producers.h"

namespace handset_test {

// The source quadrant that output point (u, v) (fractions of width and height)
// shows after the libavfilter transpose t: 0 turns with a flip along the
// diagonal, 1 clockwise, 2 counter-clockwise, 3 clockwise with a flip.
inline int SourceQuadrant(int transpose, double u, double v) {
    double x = 0, y = 0;
    switch (transpose) {
        case 0: x = v; y = u; break;
        case 1: x = v; y = 1 - u; break;
        case 2: x = 1 - v; y = u; break;
        default: x = 1 - v; y = 1 - u; break;
    }
    return (x >= 0.5 ? 1 : 0) + (y >= 0.5 ? 2 : 0);
}

// The quadrant whose colour is nearest (r, g, b), or -1 when none is close.
inline int NearestQuadrant(int r, int g, int b, int maxDistance = 60) {
    int best = -1;
    int bestDistance = maxDistance * maxDistance * 3;
    for (int q = 0; q < 4; ++q) {
        const uint8_t* c = capture::TestPicture::kQuadrantRgb[q];
        const int d = (r - c[0]) * (r - c[0]) + (g - c[1]) * (g - c[1]) + (b - c[2]) * (b - c[2]);
        if (d < bestDistance) {
            bestDistance = d;
            best = q;
        }
    }
    return best;
}

// The quadrant shown around (u, v) of a picture whose pixel (x, y) is rgb(x, y).
inline int QuadrantAt(int width, int height, double u, double v,
                      const std::function<void(int x, int y, int& r, int& g, int& b)>& rgb) {
    const int cx = static_cast<int>(u * width);
    const int cy = static_cast<int>(v * height);
    int sr = 0, sg = 0, sb = 0, n = 0;
    for (int y = cy - 2; y <= cy + 2; ++y) {
        for (int x = cx - 2; x <= cx + 2; ++x) {
            if (x < 0 || y < 0 || x >= width || y >= height) continue;
            int r, g, b;
            rgb(x, y, r, g, b);
            sr += r;
            sg += g;
            sb += b;
            ++n;
        }
    }
    return n == 0 ? -1 : NearestQuadrant(sr / n, sg / n, sb / n);
}

}  // namespace handset_test
