#include "device/kovra_stream_stats.h"

namespace app {

StreamStats StreamStatsFromVendor(const swplay_u::SWStreamStats& f) {
    StreamStats s;
    s.codec = f.codec == 2 ? QStringLiteral("H.264") : QString();
    s.width = f.width;
    s.height = f.height;
    s.hardwareDecode = f.hardwareDecode;
    s.receivedFps = f.receivedFps;
    s.decodedFps = f.decodedFps;
    s.presentedFps = f.shownFps;
    s.videoKbps = f.videoKbps;
    s.droppedQueue = static_cast<qint64>(f.droppedQueue);
    s.droppedDecode = static_cast<qint64>(f.droppedDecode);
    s.delayLastMs = f.delayLastMs;
    s.delayAverageMs = f.delayAverageMs;
    s.delayWorstMs = f.delayWorstMs;
    s.decodeAverageUs = f.decodeAverageUs;
    s.decodeWorstUs = f.decodeWorstUs;
    s.presentAverageUs = f.showAverageUs;
    s.presentWorstUs = f.showWorstUs;
    s.queueDepth = f.queueDepth;
    s.reconnects = static_cast<int>(f.reconnects);
    s.lastErrorCode = f.lastErrorCode;
    s.lastErrorText = QString::fromUtf8(f.lastErrorText);
    return s;
}

}  // namespace app
