#include "device/lumet_stream_stats.h"

namespace app {

StreamStats StreamStatsFromHandset(const handset_sdk::QvPhoneStats& f) {
    StreamStats s;
    s.codec = f.videoCodec == 264 ? QStringLiteral("H.264") : f.videoCodec == 265 ? QStringLiteral("H.265") : QString();
    s.width = f.width;
    s.height = f.height;
    s.hardwareDecode = f.hardwareDecode;
    s.decoderNote = QString::fromUtf8(f.decoderNote);
    s.receivedFps = f.receivedFps;
    s.decodedFps = f.decodedFps;
    s.presentedFps = f.presentedFps;
    s.videoKbps = f.videoKbps;
    s.droppedQueue = static_cast<qint64>(f.droppedQueue);
    s.droppedDecode = static_cast<qint64>(f.droppedDecode);
    s.delayLastMs = f.delayLastMs;
    s.delayAverageMs = f.delayAverageMs;
    s.delayWorstMs = f.delayWorstMs;
    s.decodeAverageUs = f.decodeAverageUs;
    s.decodeWorstUs = f.decodeWorstUs;
    s.presentAverageUs = f.presentAverageUs;
    s.presentWorstUs = f.presentWorstUs;
    s.queueDepth = f.queueDepth;
    s.audioBufferMs = f.audioBufferMs;
    s.reconnects = static_cast<int>(f.reconnects);
    s.lastErrorCode = f.lastErrorCode;
    s.lastErrorText = QString::fromUtf8(f.lastErrorText);
    return s;
}

}  // namespace app
