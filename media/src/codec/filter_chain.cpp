#include "filter_chain.h"

extern "C" {
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
}

#include "common/qv_log.h"

namespace codec_interface {

namespace {

struct InOutFree {
    void operator()(AVFilterInOut* io) const { avfilter_inout_free(&io); }
};
using InOutPtr = std::unique_ptr<AVFilterInOut, InOutFree>;

}  // namespace

bool FilterChain::Open(int width, int height, AVPixelFormat format, int fps, const std::string& description) {
    Close();
    FilterGraphPtr graph(avfilter_graph_alloc());
    if (!graph) {
        return false;
    }
    graph->nb_threads = 1;
    const std::string sourceArgs = "video_size=" + std::to_string(width) + "x" + std::to_string(height) +
                                   ":pix_fmt=" + std::to_string(static_cast<int>(format)) +
                                   ":time_base=1/" + std::to_string(fps) + ":pixel_aspect=1/1";
    AVFilterContext* source = nullptr;
    AVFilterContext* sink = nullptr;
    int err = avfilter_graph_create_filter(&source, avfilter_get_by_name("buffer"), "in", sourceArgs.c_str(),
                                           nullptr, graph.get());
    if (err >= 0) {
        err = avfilter_graph_create_filter(&sink, avfilter_get_by_name("buffersink"), "out", nullptr, nullptr,
                                           graph.get());
    }
    if (err < 0) {
        QV_LOG(60, "[CODEC]err[%d:%s] avfilter_graph_create_filter", err, AvErrorText(err).c_str());
        return false;
    }
    // The description's open input is fed by the source, its open output feeds the sink.
    InOutPtr outputs(avfilter_inout_alloc());
    InOutPtr inputs(avfilter_inout_alloc());
    if (!outputs || !inputs) {
        return false;
    }
    outputs->name = av_strdup("in");
    outputs->filter_ctx = source;
    inputs->name = av_strdup("out");
    inputs->filter_ctx = sink;
    AVFilterInOut* in = inputs.release();
    AVFilterInOut* out = outputs.release();
    err = avfilter_graph_parse_ptr(graph.get(), description.c_str(), &in, &out, nullptr);
    InOutPtr leftIn(in);
    InOutPtr leftOut(out);
    if (err >= 0) {
        err = avfilter_graph_config(graph.get(), nullptr);
    }
    if (err < 0) {
        QV_LOG(60, "[CODEC]err[%d:%s] filter [%s] on [%d*%d]", err, AvErrorText(err).c_str(), description.c_str(),
               width, height);
        return false;
    }
    m_graph = std::move(graph);
    m_source = source;
    m_sink = sink;
    return true;
}

void FilterChain::Close() {
    m_source = nullptr;
    m_sink = nullptr;
    m_graph.reset();
}

int FilterChain::OutputWidth() const { return m_sink ? av_buffersink_get_w(m_sink) : 0; }

int FilterChain::OutputHeight() const { return m_sink ? av_buffersink_get_h(m_sink) : 0; }

bool FilterChain::Push(const AVFrame* frame) {
    if (!m_source) {
        return false;
    }
    const int err = av_buffersrc_add_frame_flags(m_source, const_cast<AVFrame*>(frame), AV_BUFFERSRC_FLAG_KEEP_REF);
    if (err < 0) {
        QV_LOG(60, "[CODEC]err[%d:%s] av_buffersrc_add_frame_flags", err, AvErrorText(err).c_str());
        return false;
    }
    return true;
}

int FilterChain::Pull(AVFrame* frame) {
    if (!m_sink) {
        return -1;
    }
    const int err = av_buffersink_get_frame(m_sink, frame);
    if (err == AVERROR(EAGAIN) || err == AVERROR_EOF) {
        return 0;
    }
    return err < 0 ? -1 : 1;
}

}  // namespace codec_interface
