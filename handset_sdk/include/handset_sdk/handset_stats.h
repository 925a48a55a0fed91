#pragma once
// The statistics of one phone session, filled on request by
// IHandsetSdk::GetStatistics.
//
// An addition of this project, not part of the designed interface: the
// query is appended after the designed operations of IHandsetSdk, so their
// slot order stays as it is. It lets an application tell a slow network from
// a slow machine (a statistics overlay over the picture).
//
// A plain record: figures the SDK does not have (yet) are -1, texts empty.
// Rates are averages over the last complete seconds (up to three); average
// and worst values cover the last ten seconds. The figures are counted on
// the threads where the events happen, without locks on the frame path.
#include <cstdint>

namespace handset_sdk {

struct QvPhoneStats {
    // The stream as played.
    int32_t videoCodec = -1;  // 264 H.264, 265 H.265
    int32_t width = -1;
    int32_t height = -1;

    // The video decoder: 1 hardware, 0 software. When software decodes
    // although hardware was asked for (decodeMode 0 or 1), why.
    int32_t hardwareDecode = -1;
    char decoderNote[256] = {0};

    // Frames per second: arrived from the stream, decoded, and presented
    // (drawn in show mode, handed out in out mode).
    float receivedFps = -1;
    float decodedFps = -1;
    float presentedFps = -1;
    // Video bit rate of the stream, kbit/s.
    int32_t videoKbps = -1;

    // Totals since Init.
    uint64_t framesReceived = 0;
    uint64_t framesDecoded = 0;
    uint64_t framesPresented = 0;
    uint64_t droppedQueue = 0;   // dropped before decoding: nothing consumed them
    uint64_t droppedDecode = 0;  // the decoder refused them

    // One-way network delay measured by the stream link's delay probe, ms.
    int32_t delayLastMs = -1;
    int32_t delayAverageMs = -1;
    int32_t delayWorstMs = -1;

    // Time spent decoding one frame and presenting one picture, microseconds.
    int32_t decodeAverageUs = -1;
    int32_t decodeWorstUs = -1;
    int32_t presentAverageUs = -1;
    int32_t presentWorstUs = -1;

    // Frames waiting for the decode thread; sound queued for the speakers, ms.
    int32_t queueDepth = -1;
    int32_t audioBufferMs = -1;

    // Reconnection attempts of the stream link since Init, and the last error
    // reported (0 none) with its text.
    uint32_t reconnects = 0;
    int32_t lastErrorCode = 0;
    char lastErrorText[256] = {0};
};

}  // namespace handset_sdk
