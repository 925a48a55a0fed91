#include "uplink_receiver.h"

#include <opus/opus.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "av_handles.h"
#include "relay_port/wire_format.h"

namespace cloudsim {

namespace {

struct OpusDecoderFree {
    void operator()(OpusDecoder* decoder) const { opus_decoder_destroy(decoder); }
};

constexpr int kMaxOpusSamples = 5760;  // 120 ms at 48 kHz

}  // namespace

struct UplinkReceiver::Decoders {
    CodecContextPtr video;
    FramePtr frame;
    PacketPtr packet;
    SwsPtr scale;
    FramePtr rgb;                  // swscale's output, rows padded as it needs
    std::vector<uint8_t> padded;   // the access unit with the padding libavcodec reads past its end
    std::unique_ptr<OpusDecoder, OpusDecoderFree> audio;
    int audioRate = 0;
    int audioChannels = 0;
    std::vector<int16_t> pcm;

    bool ConvertTarget(int w, int h) {
        if (rgb && rgb->width == w && rgb->height == h) return true;
        rgb.reset(av_frame_alloc());
        if (!rgb) return false;
        rgb->format = AV_PIX_FMT_BGR0;
        rgb->width = w;
        rgb->height = h;
        if (av_frame_get_buffer(rgb.get(), 64) < 0) {
            rgb.reset();
            return false;
        }
        return true;
    }

    bool OpenVideo() {
        const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_H264);
        if (!codec) return false;
        video.reset(avcodec_alloc_context3(codec));
        frame.reset(av_frame_alloc());
        packet.reset(av_packet_alloc());
        if (!video || !frame || !packet) return false;
        video->thread_count = 1;
        video->flags |= AV_CODEC_FLAG_LOW_DELAY;
        if (avcodec_open2(video.get(), codec, nullptr) < 0) {
            video.reset();
            return false;
        }
        return true;
    }
};

void UplinkReceiver::OnPackage(uint32_t type, const uint8_t* body, size_t length, const Json::Value& fields) {
    namespace wire = relay_port::wire;
    auto number = [&fields](const char* name) {
        const Json::Value& v = fields[name];
        return v.isUInt() ? static_cast<int>(std::min<Json::UInt>(v.asUInt(), 0x7FFFFFFF)) : 0;
    };
    switch (type) {
        case wire::kCameraParam: CameraParam(number("a"), number("b"), number("c"), number("blobLength")); break;
        case wire::kCameraData: CameraData(body, length); break;
        case wire::kMicParam: MicParam(number("a"), number("b"), number("c")); break;
        case wire::kMicData: MicData(body, length); break;
        default: break;
    }
}

UplinkReceiver::UplinkReceiver() : m_decoders(std::make_unique<Decoders>()) {}
UplinkReceiver::~UplinkReceiver() = default;

void UplinkReceiver::CameraParam(int format, int width, int height, int blobLength) {
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_view.cameraParams;
    m_view.cameraFormat = format;
    m_view.cameraParamWidth = width;
    m_view.cameraParamHeight = height;
    m_view.cameraParamBlob = blobLength;
    // A new camera stream: a fresh decoder, starting from its key frame.
    m_decoders->video.reset();
    ++m_version;
}

void UplinkReceiver::CameraData(const uint8_t* data, size_t length) {
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_view.cameraPackets;
    if (m_view.cameraParams == 0) {
        ++m_view.cameraDataBeforeParams;
        return;
    }
    Decoders& d = *m_decoders;
    if (!d.video && !d.OpenVideo()) return;
    if (length == 0 || length > 16 * 1024 * 1024) return;
    d.padded.assign(data, data + length);
    d.padded.resize(length + AV_INPUT_BUFFER_PADDING_SIZE, 0);
    d.packet->data = d.padded.data();
    d.packet->size = static_cast<int>(length);
    const int sent = avcodec_send_packet(d.video.get(), d.packet.get());
    d.packet->data = nullptr;
    d.packet->size = 0;
    if (sent < 0) return;
    while (avcodec_receive_frame(d.video.get(), d.frame.get()) >= 0) {
        const int w = d.frame->width;
        const int h = d.frame->height;
        if (w > 0 && h > 0 && w <= 8192 && h <= 8192) {
            d.scale.reset(sws_getCachedContext(d.scale.release(), w, h, static_cast<AVPixelFormat>(d.frame->format),
                                               w, h, AV_PIX_FMT_BGR0, SWS_BILINEAR, nullptr, nullptr, nullptr));
            if (d.scale && d.ConvertTarget(w, h)) {
                sws_scale(d.scale.get(), d.frame->data, d.frame->linesize, 0, h, d.rgb->data, d.rgb->linesize);
                m_view.picture.resize(static_cast<size_t>(w) * h);
                for (int y = 0; y < h; ++y) {
                    std::memcpy(m_view.picture.data() + static_cast<size_t>(y) * w,
                                d.rgb->data[0] + static_cast<size_t>(y) * d.rgb->linesize[0], static_cast<size_t>(w) * 4);
                }
                m_view.pictureWidth = w;
                m_view.pictureHeight = h;
                ++m_view.cameraFrames;
                m_view.cameraSizes.emplace_back(w, h);
                if (m_view.cameraSizes.size() > kMaxSizes) m_view.cameraSizes.erase(m_view.cameraSizes.begin());
                ++m_version;
            }
        }
        av_frame_unref(d.frame.get());
    }
}

void UplinkReceiver::MicParam(int sampleRate, int channels, int samples) {
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_view.micParams;
    m_view.micSampleRate = sampleRate;
    m_view.micChannels = channels;
    m_view.micSamples = samples;
    Decoders& d = *m_decoders;
    d.audio.reset();
    const bool rateOk = sampleRate == 8000 || sampleRate == 12000 || sampleRate == 16000 || sampleRate == 24000 ||
                        sampleRate == 48000;
    if (rateOk && (channels == 1 || channels == 2)) {
        int err = OPUS_OK;
        d.audio.reset(opus_decoder_create(sampleRate, channels, &err));
        if (err != OPUS_OK) d.audio.reset();
        d.audioRate = sampleRate;
        d.audioChannels = channels;
    }
    m_window.clear();
    ++m_version;
}

void UplinkReceiver::MicData(const uint8_t* data, size_t length) {
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_view.micPackets;
    if (m_view.micParams == 0) {
        ++m_view.micDataBeforeParams;
        return;
    }
    Decoders& d = *m_decoders;
    if (!d.audio || length == 0 || length > 4000) return;
    d.pcm.resize(static_cast<size_t>(kMaxOpusSamples) * d.audioChannels);
    const int samples = opus_decode(d.audio.get(), data, static_cast<opus_int32>(length), d.pcm.data(),
                                    kMaxOpusSamples, 0);
    if (samples <= 0) return;
    ++m_view.micDecoded;
    Analyse(d.pcm.data(), samples, d.audioChannels, d.audioRate);
    ++m_version;
}

void UplinkReceiver::Analyse(const int16_t* pcm, int samples, int channels, int sampleRate) {
    for (int i = 0; i < samples; ++i) m_window.push_back(pcm[static_cast<size_t>(i) * channels] / 32768.0f);
    const size_t keep = static_cast<size_t>(sampleRate / 2);
    if (m_window.size() > keep) m_window.erase(m_window.begin(), m_window.end() - static_cast<long>(keep));
    double sum = 0;
    int crossings = 0;
    for (size_t i = 0; i < m_window.size(); ++i) {
        sum += static_cast<double>(m_window[i]) * m_window[i];
        if (i > 0 && (m_window[i - 1] < 0) != (m_window[i] < 0)) ++crossings;
    }
    const double rms = std::sqrt(sum / std::max<size_t>(1, m_window.size()));
    m_view.micLevelDb = rms > 1e-5 ? 20.0 * std::log10(rms) : -100.0;
    // A tone crosses zero twice per cycle; quiet noise says nothing.
    m_view.micFrequencyHz =
        rms > 1e-3 ? crossings / 2.0 / (static_cast<double>(m_window.size()) / sampleRate) : 0.0;
}

UplinkView UplinkReceiver::View() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_view;
}

uint64_t UplinkReceiver::Version() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_version;
}

}  // namespace cloudsim
