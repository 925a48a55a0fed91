#include "touch_conversion.h"

namespace handset_sdk {
namespace {

constexpr TouchPoint kReleasedPoint{-1, -1};

TouchPoint Turn(int px, int py, const DisplayArea& a) {
    const int64_t w = a.videoWidth;
    const int64_t h = a.videoHeight;
    switch (a.mode) {
        case 1:
            return {static_cast<int>(w - w * py / h), static_cast<int>(h * px / w)};
        case 2:
            return {static_cast<int>(w - px), static_cast<int>(h - py)};
        case 3:
            return {static_cast<int>(w * py / h), static_cast<int>(h - h * px / w)};
        default:
            return {px, py};
    }
}

}  // namespace

std::vector<TouchPoint> ConvertWindowPoints(uint32_t action, const int* xs, const int* ys, int count,
                                            const DisplayArea& a) {
    std::vector<TouchPoint> points;
    if (xs == nullptr || ys == nullptr || count <= 0) return points;
    const RECT& r = a.rect;
    // Without area there is nothing to scale into: only releases still go out.
    const bool hasArea = r.right > r.left && r.bottom > r.top && a.videoWidth > 0 && a.videoHeight > 0;
    for (int i = 0; i < count; ++i) {
        if (action == kTouchUp) {
            points.push_back(kReleasedPoint);
            continue;
        }
        const int x = xs[i];
        const int y = ys[i];
        if (!hasArea || x < r.left || y < r.top || x > r.right || y > r.bottom) continue;
        const float sx = static_cast<float>(a.videoWidth) / static_cast<float>(r.right - r.left);
        const float sy = static_cast<float>(a.videoHeight) / static_cast<float>(r.bottom - r.top);
        const int px = static_cast<int>(sx * static_cast<float>(x - r.left));
        const int py = static_cast<int>(sy * static_cast<float>(y - r.top));
        points.push_back(Turn(px, py, a));
    }
    return points;
}

std::vector<TouchPoint> PassPhonePoints(uint32_t action, const int* xs, const int* ys, int count) {
    std::vector<TouchPoint> points;
    if (xs == nullptr || ys == nullptr || count <= 0) return points;
    for (int i = 0; i < count; ++i) points.push_back(action == kTouchUp ? kReleasedPoint : TouchPoint{xs[i], ys[i]});
    return points;
}

}  // namespace handset_sdk
