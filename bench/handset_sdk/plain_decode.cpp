#include "plain_decode.h"

#include <algorithm>
#include <cstring>
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
}

#include "stamp_log.h"

namespace handset_bench {

namespace {

constexpr int kTimedPasses = 3;

struct ContextFree {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct PacketFree {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct FrameFree {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};

// Decodes every unit with a fresh decoder; pictures out, -1 when the decoder cannot open.
int DecodeAll(const std::vector<std::vector<uint8_t>>& units) {
    const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_H264);
    if (codec == nullptr) return -1;
    std::unique_ptr<AVCodecContext, ContextFree> ctx(avcodec_alloc_context3(codec));
    std::unique_ptr<AVPacket, PacketFree> packet(av_packet_alloc());
    std::unique_ptr<AVFrame, FrameFree> frame(av_frame_alloc());
    if (!ctx || !packet || !frame) return -1;
    ctx->flags |= AV_CODEC_FLAG_LOW_DELAY;
    ctx->thread_count = 1;
    ctx->thread_type = 0;
    if (avcodec_open2(ctx.get(), codec, nullptr) < 0) return -1;
    int pictures = 0;
    for (const auto& unit : units) {
        if (av_new_packet(packet.get(), static_cast<int>(unit.size())) < 0) return -1;
        std::memcpy(packet->data, unit.data(), unit.size());
        const int sent = avcodec_send_packet(ctx.get(), packet.get());
        av_packet_unref(packet.get());
        if (sent < 0) continue;
        while (avcodec_receive_frame(ctx.get(), frame.get()) == 0) ++pictures;
    }
    return pictures;
}

}  // namespace

double PlainDecodeMsPerFrame(const std::vector<std::vector<uint8_t>>& units, int* decoded) {
    *decoded = DecodeAll(units);  // warms caches and counts
    if (*decoded <= 0) return -1;
    double best = -1;
    for (int pass = 0; pass < kTimedPasses; ++pass) {
        const Nanos start = NowNanos();
        const int pictures = DecodeAll(units);
        const double ms = static_cast<double>(NowNanos() - start) / 1e6 / std::max(pictures, 1);
        if (best < 0 || ms < best) best = ms;
    }
    return best;
}

}  // namespace handset_bench
