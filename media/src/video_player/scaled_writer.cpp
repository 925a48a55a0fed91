#include "scaled_writer.h"

extern "C" {
#include <libavutil/imgutils.h>
}

#include "common/qv_log.h"

namespace video_player {

int PaddedPitch(AVPixelFormat format, int width) {
    const int bytes = av_image_get_linesize(format, width, 0);
    return bytes > 0 ? (bytes + 63) / 64 * 64 : -1;
}

bool ScaledWriter::Write(const SourcePlanes& source, const TargetImage& target) {
    SwsContext* next = sws_getCachedContext(m_context.release(), source.width, source.height, source.format,
                                            target.width, target.height, target.format, SWS_BILINEAR, nullptr,
                                            nullptr, nullptr);
    m_context.reset(next);
    if (!next) {
        QV_LOG(60, "[VIDEO_PLAYER]sws_getCachedContext failed [%d*%d]->[%d*%d]", source.width, source.height,
               target.width, target.height);
        return false;
    }
    uint8_t* planes[4] = {target.pixels, nullptr, nullptr, nullptr};
    const int strides[4] = {target.pitch, 0, 0, 0};
    return sws_scale(next, source.planes, source.strides, 0, source.height, planes, strides) == target.height;
}

}  // namespace video_player
