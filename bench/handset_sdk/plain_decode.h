#pragma once
// The baseline: plain libavcodec H.264 software decoding, one thread, low
// delay, the same settings as the codec library.
#include <cstdint>
#include <vector>

namespace handset_bench {

// Milliseconds per decoded picture over units (best of a few passes after a
// warm-up pass); -1 when nothing decodes. decoded gets the picture count.
double PlainDecodeMsPerFrame(const std::vector<std::vector<uint8_t>>& units, int* decoded);

}  // namespace handset_bench
