#pragma once
// The picture preparation of the camera uplink: the largest centred region of
// the source with the phone's aspect ratio, and the quarter turn for the
// phone's orientation and camera side.
#include <string>

namespace handset_sdk {

struct CameraCrop {
    int width = 0;
    int height = 0;
    int x = 0;
    int y = 0;
};

// Source sw x sh, phone request dw x dh (all positive).
CameraCrop ComputeCameraCrop(int sw, int sh, int dw, int dh);

// The libavfilter transpose value: 1 front / 0 back with the phone at 90 or
// 270 degrees, 3 front / 2 back at 0 or 180 degrees. orientation counts
// quarter turns.
int CameraTranspose(bool front, int orientation);

struct CameraFilter {
    CameraCrop crop;
    int transpose = 0;
    // The crop runs on the source first and the turn after it, so the crop
    // region (computed on the unturned source) always lies inside the picture.
    std::string applied;  // "crop=W:H:X:Y,transpose=T"
    int outWidth = 0;     // the turned crop's size
    int outHeight = 0;
};

// Builds the filter and writes its log lines. A request without a size keeps
// the whole source.
CameraFilter BuildCameraFilter(int sw, int sh, int dw, int dh, bool front, int orientation);

}  // namespace handset_sdk
