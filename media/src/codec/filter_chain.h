#pragma once
// A libavfilter video chain between a buffer source and a buffer sink, built
// from a filter description such as "transpose=1,crop=405:720:437:0".
#include <string>

#include "av_handles.h"

namespace codec_interface {

class FilterChain {
public:
    // Builds the chain for input pictures of this size and format; false (and
    // a log line) when the description does not parse or configure.
    bool Open(int width, int height, AVPixelFormat format, int fps, const std::string& description);
    void Close();

    int OutputWidth() const;
    int OutputHeight() const;

    // Pushes one picture (copied); pictures come out through Pull.
    bool Push(const AVFrame* frame);
    // 1 with a picture in frame, 0 when none is ready, -1 on failure.
    int Pull(AVFrame* frame);

private:
    FilterGraphPtr m_graph;
    AVFilterContext* m_source = nullptr;  // owned by the graph
    AVFilterContext* m_sink = nullptr;
};

}  // namespace codec_interface
