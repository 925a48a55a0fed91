#pragma once
// What a device view's statistics overlay shows, filled by the back end from
// its SDK's statistics query. A figure the back end does not have stays -1
// (texts empty) and the overlay leaves its line out.
#include <QString>

namespace app {

struct StreamStats {
    // The stream as played.
    QString codec;  // "H.264", "H.265"
    int width = -1;
    int height = -1;
    // Decoder: 1 hardware, 0 software; why software when hardware was asked for.
    int hardwareDecode = -1;
    QString decoderNote;
    // Frames per second: arrived, decoded, presented.
    double receivedFps = -1;
    double decodedFps = -1;
    double presentedFps = -1;
    int videoKbps = -1;
    // Frames dropped since the stream began, by reason.
    qint64 droppedQueue = -1;
    qint64 droppedDecode = -1;
    // One-way network delay from the stream link's delay probe (last, and
    // average and worst of the last 10 s), ms.
    int delayLastMs = -1;
    int delayAverageMs = -1;
    int delayWorstMs = -1;
    // Microseconds to decode a frame and to present a picture.
    int decodeAverageUs = -1;
    int decodeWorstUs = -1;
    int presentAverageUs = -1;
    int presentWorstUs = -1;
    int queueDepth = -1;     // frames waiting for the decoder
    int audioBufferMs = -1;  // sound queued for the speakers
    int reconnects = -1;
    int lastErrorCode = 0;
    QString lastErrorText;
    // Multi-device windows: the group the main phone's input is copied to.
    int followersControlled = -1;
    int followersPaused = -1;
    int followersRefused = -1;
    int nodesConnected = -1;
    int nodesTotal = -1;
};

}  // namespace app
