#pragma once
// Synthetic pictures and streams for the media tests.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "codec/codec_interface.h"

namespace mediatest {

struct Yuv {
    uint8_t y, u, v;
};

// An I420 picture split into a left and a right half of two colours.
std::vector<uint8_t> TwoHalvesI420(int width, int height, Yuv left, Yuv right);

// Encodes count pictures with the library's H.264 encoder; one access unit each.
std::vector<std::vector<uint8_t>> EncodeH264(int width, int height, int count, Yuv left, Yuv right,
                                             const char* filter = "");

// Encodes count pictures with an FFmpeg encoder by name, with private options;
// empty when the encoder is missing or does not open.
std::vector<std::vector<uint8_t>> EncodeWith(const char* encoder, int width, int height, int count, Yuv left,
                                             Yuv right,
                                             const std::vector<std::pair<std::string, std::string>>& options);

// The mean of one channel (0 B, 1 G, 2 R) of a BGRA region.
double MeanChannel(const std::vector<uint8_t>& bgra, int width, int x0, int y0, int x1, int y1, int channel);

}  // namespace mediatest
