#pragma once
// Figures of one data source's stream, filled on request by
// SWDataSource::getStreamStats (for a statistics overlay). Figures the SDK
// does not have are -1. Rates are averages over the last complete seconds
// (up to three); averages and worst values cover the last ten seconds.
#include <cstdint>

namespace swplay_u {

struct SWStreamStats {
    int codec = -1;  // 2 H.264
    int width = -1;  // of the decoded pictures
    int height = -1;
    int hardwareDecode = -1;  // 1 hardware, 0 software

    float receivedFps = -1;
    float decodedFps = -1;
    float shownFps = -1;  // pictures written into the display
    int videoKbps = -1;

    uint64_t framesReceived = 0;
    uint64_t framesDecoded = 0;
    uint64_t framesShown = 0;
    uint64_t droppedQueue = 0;   // the decoder fell behind: dropped up to the next key frame
    uint64_t droppedDecode = 0;  // the decoder refused them

    int delayLastMs = -1;  // one-way network delay from the link's delay probe
    int delayAverageMs = -1;
    int delayWorstMs = -1;

    int decodeAverageUs = -1;
    int decodeWorstUs = -1;
    int showAverageUs = -1;  // converting and writing a picture into the display
    int showWorstUs = -1;

    int queueDepth = -1;  // frames waiting for the decoder

    unsigned reconnects = 0;  // reconnection attempts of the stream link
    int lastErrorCode = 0;    // last error the stream server sent (0 none)
    char lastErrorText[256] = {0};
};

}  // namespace swplay_u
