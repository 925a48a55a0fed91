#include "device/stats_text.h"

namespace app {
namespace {

QString Ms(int micros) { return QString::number(micros / 1000.0, 'f', 1); }
QString Fps(double fps) { return fps < 0 ? QStringLiteral("-") : QString::number(fps, 'f', 1); }

}  // namespace

QStringList StatsLines(const StreamStats& s) {
    QStringList lines;
    if (s.width > 0 && s.height > 0) {
        lines << QStringLiteral("stream %1x%2 %3").arg(s.width).arg(s.height).arg(s.codec).trimmed();
    } else if (!s.codec.isEmpty()) {
        lines << QStringLiteral("stream %1").arg(s.codec);
    }
    if (s.hardwareDecode >= 0) {
        QString line = QStringLiteral("decoder ") + (s.hardwareDecode == 1 ? "hardware" : "software");
        if (s.hardwareDecode == 0 && !s.decoderNote.isEmpty()) line += QStringLiteral(" (%1)").arg(s.decoderNote);
        lines << line;
    }
    if (s.receivedFps >= 0 || s.decodedFps >= 0 || s.presentedFps >= 0) {
        lines << QStringLiteral("fps in %1  decoded %2  shown %3")
                     .arg(Fps(s.receivedFps), Fps(s.decodedFps), Fps(s.presentedFps));
    }
    if (s.droppedQueue >= 0 || s.droppedDecode >= 0) {
        QStringList reasons;
        if (s.droppedQueue >= 0) reasons << QStringLiteral("queue %1").arg(s.droppedQueue);
        if (s.droppedDecode >= 0) reasons << QStringLiteral("decode error %1").arg(s.droppedDecode);
        lines << QStringLiteral("dropped ") + reasons.join(QStringLiteral(", "));
    }
    if (s.videoKbps >= 0) lines << QStringLiteral("video %1 kbit/s").arg(s.videoKbps);
    if (s.delayLastMs >= 0) {
        QString line = QStringLiteral("network delay %1 ms").arg(s.delayLastMs);
        if (s.delayAverageMs >= 0) {
            line += QStringLiteral(" (avg %1, worst %2 in 10 s)").arg(s.delayAverageMs).arg(s.delayWorstMs);
        }
        lines << line;
    }
    if (s.decodeAverageUs >= 0) {
        lines << QStringLiteral("decode %1 ms avg, %2 worst").arg(Ms(s.decodeAverageUs), Ms(s.decodeWorstUs));
    }
    if (s.presentAverageUs >= 0) {
        lines << QStringLiteral("present %1 ms avg, %2 worst").arg(Ms(s.presentAverageUs), Ms(s.presentWorstUs));
    }
    QStringList buffers;
    if (s.queueDepth >= 0) buffers << QStringLiteral("frame queue %1").arg(s.queueDepth);
    if (s.audioBufferMs >= 0) buffers << QStringLiteral("audio %1 ms").arg(s.audioBufferMs);
    if (!buffers.isEmpty()) lines << buffers.join(QStringLiteral(", "));
    if (s.reconnects >= 0) lines << QStringLiteral("reconnects %1").arg(s.reconnects);
    if (s.lastErrorCode != 0) {
        lines << QStringLiteral("last error %1 %2").arg(s.lastErrorCode).arg(s.lastErrorText).trimmed();
    }
    if (s.followersControlled >= 0) {
        QString line = QStringLiteral("group %1 controlled").arg(s.followersControlled);
        if (s.followersPaused >= 0) line += QStringLiteral(", %1 paused").arg(s.followersPaused);
        if (s.followersRefused >= 0) line += QStringLiteral(", %1 refused").arg(s.followersRefused);
        lines << line;
    }
    if (s.nodesConnected >= 0) {
        lines << (s.nodesTotal >= 0 ? QStringLiteral("nodes %1/%2 connected").arg(s.nodesConnected).arg(s.nodesTotal)
                                    : QStringLiteral("nodes %1 connected").arg(s.nodesConnected));
    }
    return lines;
}

}  // namespace app
