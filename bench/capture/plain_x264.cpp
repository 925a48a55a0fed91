#include "plain_x264.h"

#include <time.h>

#include <chrono>
#include <cstring>
#include <thread>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/opt.h>
}

namespace capture_bench {

namespace {

double ThreadCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

// The middle 640 x 360 of a 640 x 480 I420 frame, turned a quarter counter-clockwise (360 x 640).
void CropAndTurn(const std::vector<uint8_t>& in, AVFrame* out) {
    const int cropY = (kHeight - kRequestHeight) / 2;
    auto plane = [&](int index, const uint8_t* src, int srcWidth, int shift) {
        const int cw = kRequestWidth >> shift;
        const int ch = kRequestHeight >> shift;
        const int y0 = cropY >> shift;
        uint8_t* dst = out->data[index];
        for (int oy = 0; oy < cw; ++oy) {
            for (int ox = 0; ox < ch; ++ox) {
                dst[oy * out->linesize[index] + ox] = src[(y0 + ox) * srcWidth + (cw - 1 - oy)];
            }
        }
    };
    const uint8_t* y = in.data();
    const uint8_t* u = y + kWidth * kHeight;
    const uint8_t* v = u + (kWidth / 2) * (kHeight / 2);
    plane(0, y, kWidth, 0);
    plane(1, u, kWidth / 2, 1);
    plane(2, v, kWidth / 2, 1);
}

}  // namespace

RunResult RunPlainX264(const std::vector<std::vector<uint8_t>>& frames) {
    RunResult result;
    const AVCodec* codec = avcodec_find_encoder_by_name("libx264");
    AVCodecContext* context = codec ? avcodec_alloc_context3(codec) : nullptr;
    if (!context) {
        result.error = "libx264 is not available";
        return result;
    }
    context->width = kRequestHeight;
    context->height = kRequestWidth;
    context->pix_fmt = AV_PIX_FMT_YUV420P;
    context->time_base = AVRational{1, kFps};
    context->framerate = AVRational{kFps, 1};
    context->bit_rate = 1024 * 1000;
    context->rc_max_rate = context->bit_rate;
    context->rc_buffer_size = static_cast<int>(context->bit_rate);
    context->gop_size = kFps * 2;
    context->max_b_frames = 0;
    context->thread_count = 1;
    av_opt_set(context->priv_data, "preset", "veryfast", 0);
    av_opt_set(context->priv_data, "tune", "zerolatency", 0);
    av_opt_set(context->priv_data, "profile", "baseline", 0);
    av_opt_set(context->priv_data, "x264-params", "log=0", 0);
    AVFrame* frame = av_frame_alloc();
    AVPacket* packet = av_packet_alloc();
    if (avcodec_open2(context, codec, nullptr) < 0 || !frame || !packet) {
        result.error = "libx264 does not open";
    } else {
        frame->format = AV_PIX_FMT_YUV420P;
        frame->width = context->width;
        frame->height = context->height;
        av_frame_get_buffer(frame, 0);
        std::vector<AVFrame*> turned;
        for (const auto& f : frames) {
            AVFrame* t = av_frame_clone(frame);
            av_frame_make_writable(t);
            CropAndTurn(f, t);
            turned.push_back(t);
        }
        const auto period = std::chrono::microseconds(1000000 / kFps);
        auto next = std::chrono::steady_clock::now();
        double cpu = 0;
        for (size_t i = 0; i < turned.size(); ++i) {
            std::this_thread::sleep_until(next);
            next += period;
            turned[i]->pts = static_cast<int64_t>(i);
            const double cpu0 = ThreadCpuMs();
            const auto t0 = std::chrono::steady_clock::now();
            int packets = 0;
            if (avcodec_send_frame(context, turned[i]) >= 0) {
                while (avcodec_receive_packet(context, packet) >= 0) {
                    ++packets;
                    av_packet_unref(packet);
                }
            }
            const auto t1 = std::chrono::steady_clock::now();
            cpu += ThreadCpuMs() - cpu0;
            if (packets > 0) {
                ++result.delivered;
                result.latencyMs.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
            }
        }
        result.frames = turned.size();
        result.cpuMsPerFrame = turned.empty() ? 0 : cpu / turned.size();
        for (AVFrame* t : turned) av_frame_free(&t);
    }
    av_packet_free(&packet);
    av_frame_free(&frame);
    avcodec_free_context(&context);
    return result;
}

}  // namespace capture_bench
