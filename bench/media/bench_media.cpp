// Frames per second of the codec library's H.264 decoder (alone, and with
// the out-mode copy to BGRA) and of its Opus decoder, each beside a plain
// loop over the same stream with the same settings (one thread, low delay).
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}
#include <opus/opus.h>

#include "codec/codec_interface.h"

namespace {

using namespace codec_interface;
using Clock = std::chrono::steady_clock;

constexpr int kWidth = 720;
constexpr int kHeight = 1280;
constexpr int kFrames = 240;

// A moving diagonal pattern, encoded with the library's encoder.
std::vector<std::vector<uint8_t>> MakeStream() {
    auto encoder = ICodecInterface::Create(CODEC_VIDEO_ENCODE_H264);
    CVideoEncodeParam param;
    param.width = kWidth;
    param.height = kHeight;
    param.bitrateKbps = 2048;
    std::vector<std::vector<uint8_t>> units;
    if (encoder->Init(param) != 0) return units;
    std::vector<uint8_t> picture(static_cast<size_t>(ICodecInterface::ImageGetBufferSize(PIXEL_FORMAT_I420, kWidth, kHeight)), 128);
    CVideoEncodeOutParam out;
    for (int f = 0; f < kFrames; ++f) {
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) picture[y * kWidth + x] = static_cast<uint8_t>((x + y + f * 4) & 0xFF);
        }
        if (encoder->Encode(picture.data(), static_cast<int>(picture.size()), out) == 1) units.push_back(out.data);
    }
    return units;
}

double Seconds(const std::function<int()>& run, int* pictures) {
    const auto start = Clock::now();
    *pictures = run();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void Report(const char* name, int libPictures, double libSeconds, int plainPictures, double plainSeconds) {
    const double lib = libPictures / libSeconds;
    const double plain = plainPictures / plainSeconds;
    std::printf("%-34s library %8.1f /s   plain %8.1f /s   ratio %.3f\n", name, lib, plain, lib / plain);
}

int LibraryDecode(const std::vector<std::vector<uint8_t>>& units, bool copy) {
    auto decoder = ICodecInterface::Create(CODEC_VIDEO_DECODE_H264);
    decoder->Init(CVideoDecodeParam{kWidth, kHeight, 30, 2048});
    std::vector<uint8_t> bgra(static_cast<size_t>(kWidth) * kHeight * 4);
    CVideoDecodeOutParam out;
    int pictures = 0;
    for (const auto& unit : units) {
        if (decoder->Decode(unit.data(), static_cast<int>(unit.size()), out) < 1) continue;
        if (copy && ICodecInterface::ImageCopyToBuffer(bgra.data(), static_cast<int>(bgra.size()), PIXEL_FORMAT_BGRA,
                                                       out) != static_cast<int>(bgra.size())) {
            continue;
        }
        ++pictures;
    }
    return pictures;
}

int PlainDecode(const std::vector<std::vector<uint8_t>>& units, bool copy) {
    const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_H264);
    AVCodecContext* ctx = avcodec_alloc_context3(codec);
    ctx->thread_count = 1;
    ctx->flags |= AV_CODEC_FLAG_LOW_DELAY;
    avcodec_open2(ctx, codec, nullptr);
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    SwsContext* sws = nullptr;
    uint8_t* dst[4];
    int dstStride[4];
    av_image_alloc(dst, dstStride, kWidth, kHeight, AV_PIX_FMT_BGRA, 64);
    int pictures = 0;
    for (const auto& unit : units) {
        av_new_packet(packet, static_cast<int>(unit.size()));
        std::memcpy(packet->data, unit.data(), unit.size());
        avcodec_send_packet(ctx, packet);
        av_packet_unref(packet);
        while (avcodec_receive_frame(ctx, frame) == 0) {
            if (copy) {
                sws = sws_getCachedContext(sws, frame->width, frame->height, static_cast<AVPixelFormat>(frame->format),
                                           kWidth, kHeight, AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr, nullptr, nullptr);
                sws_scale(sws, frame->data, frame->linesize, 0, frame->height, dst, dstStride);
            }
            ++pictures;
        }
    }
    av_freep(&dst[0]);
    sws_freeContext(sws);
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&ctx);
    return pictures;
}

std::vector<std::vector<uint8_t>> MakeOpus(int packets) {
    int err = 0;
    OpusEncoder* encoder = opus_encoder_create(48000, 2, OPUS_APPLICATION_AUDIO, &err);
    std::vector<std::vector<uint8_t>> out;
    std::vector<int16_t> pcm(960 * 2);
    unsigned char buffer[4000];
    for (int p = 0; p < packets; ++p) {
        for (int i = 0; i < 960; ++i) pcm[i * 2] = pcm[i * 2 + 1] = static_cast<int16_t>(((p * 960 + i) * 37) % 20000 - 10000);
        const int n = opus_encode(encoder, pcm.data(), 960, buffer, sizeof(buffer));
        if (n > 0) out.emplace_back(buffer, buffer + n);
    }
    opus_encoder_destroy(encoder);
    return out;
}

}  // namespace

int main() {
    const auto units = MakeStream();
    if (units.empty()) {
        std::fprintf(stderr, "could not encode the test stream\n");
        return 1;
    }
    std::printf("H.264 %dx%d, %zu frames, software decoding, one thread\n", kWidth, kHeight, units.size());
    int lib = 0;
    int plain = 0;
    for (bool copy : {false, true}) {
        PlainDecode(units, copy);  // warm caches
        const double plainSeconds = Seconds([&] { return PlainDecode(units, copy); }, &plain);
        const double libSeconds = Seconds([&] { return LibraryDecode(units, copy); }, &lib);
        Report(copy ? "decode + BGRA out-mode copy" : "decode", lib, libSeconds, plain, plainSeconds);
    }
    const auto packets = MakeOpus(2000);
    auto decoder = ICodecInterface::Create(CODEC_AUDIO_DECODE_OPUS);
    decoder->Init(CAudioDecodeParam{});
    CAudioDecodeOutParam block;
    const double libSeconds = Seconds(
        [&] {
            int n = 0;
            for (const auto& p : packets) n += decoder->Decode(p.data(), static_cast<int>(p.size()), block) > 0;
            return n;
        },
        &lib);
    int err = 0;
    OpusDecoder* raw = opus_decoder_create(48000, 2, &err);
    std::vector<int16_t> pcm(5760 * 2);
    const double plainSeconds = Seconds(
        [&] {
            int n = 0;
            for (const auto& p : packets) n += opus_decode(raw, p.data(), static_cast<int>(p.size()), pcm.data(), 5760, 0) > 0;
            return n;
        },
        &plain);
    opus_decoder_destroy(raw);
    Report("Opus 48 kHz stereo 20 ms packets", lib, libSeconds, plain, plainSeconds);
    return 0;
}
