#pragma once
// Looks into Annex B access units without decoding them.
#include <cstddef>
#include <cstdint>

namespace handset_sdk {

// True when the access unit starts a decodable sequence: an H.264 IDR picture
// or SPS, or an H.265 random-access picture or parameter set. format is 264 or 265.
bool IsKeyFrame(const uint8_t* data, size_t length, int format);

}  // namespace handset_sdk
