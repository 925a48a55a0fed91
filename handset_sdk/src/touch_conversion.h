#pragma once
// Window coordinates to phone coordinates: the display rectangle is scaled to
// the video size and turned by the display mode.
#include <cstdint>
#include <vector>

#include "handset_sdk/handset_sdk.h"

namespace handset_sdk {

enum TouchAction : uint32_t { kTouchDown = 0, kTouchUp = 1, kTouchMove = 2 };

struct TouchPoint {
    int x = 0;
    int y = 0;
};

struct DisplayArea {
    RECT rect;
    int mode = 0;  // quarter turns, 0..3
    int videoWidth = 0;
    int videoHeight = 0;
};

// The points of one touch call as the phone gets them. Up points become
// (-1, -1); other points outside the rectangle are dropped. A rectangle or
// video without area keeps no point but up points.
std::vector<TouchPoint> ConvertWindowPoints(uint32_t action, const int* xs, const int* ys, int count,
                                            const DisplayArea& area);

// Phone coordinates passed on as they are, except up points (-1, -1).
std::vector<TouchPoint> PassPhonePoints(uint32_t action, const int* xs, const int* ys, int count);

}  // namespace handset_sdk
