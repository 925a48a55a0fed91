#pragma once
// What a phone asks of the user's camera and microphone, and what it got
// back over the uplink: parameters, decoded pictures and sound.
#include <cstdint>
#include <utility>
#include <vector>

namespace cloudsim {

// The size and sample count the phones ask for when their Camera or Mic app
// opens. A portrait phone asks for long x short (a camera's own landscape
// frame, turned upright by the client), a landscape phone for short x long.
struct UplinkRequest {
    int cameraLongSide = 640;
    int cameraShortSide = 360;
    bool frontCamera = false;  // camera switch type 1 (front) or 0 (back)
    int micSamples = 960;      // sample count of the microphone switch
};

struct UplinkView {
    // Camera: parameter messages and their values (format, width, height, blob bytes).
    int cameraParams = 0;
    int cameraFormat = 0;
    int cameraParamWidth = 0;
    int cameraParamHeight = 0;
    int cameraParamBlob = 0;
    int cameraPackets = 0;     // data messages
    int cameraFrames = 0;      // of which decoded to a picture
    int cameraDataBeforeParams = 0;
    std::vector<std::pair<int, int>> cameraSizes;  // decoded size per picture, oldest first (bounded)
    int pictureWidth = 0;      // the newest decoded picture, 0x00RRGGBB per pixel
    int pictureHeight = 0;
    std::vector<uint32_t> picture;
    // Microphone.
    int micParams = 0;
    int micSampleRate = 0;
    int micChannels = 0;
    int micSamples = 0;        // the third parameter value
    int micPackets = 0;
    int micDecoded = 0;        // packets decoded
    int micDataBeforeParams = 0;
    double micLevelDb = -100;  // RMS of the last half second, dB of full scale
    double micFrequencyHz = 0; // of the last half second
};

}  // namespace cloudsim
