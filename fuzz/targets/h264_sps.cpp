// H.264 sequence parameter sets in received video: an access unit is searched
// for its SPS, and the input is also read as one SPS NAL unit. A parsed
// picture size must be positive and inside the coded size.
#include <climits>
#include <cstdint>

#include "codec/codec_interface.h"

namespace {

void CheckSize(const codec_interface::h264_sps_data& sps) {
    if (sps.width <= 0 || sps.height <= 0 || sps.width > sps.codedWidth || sps.height > sps.codedHeight) {
        __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > INT_MAX) return 0;
    const int length = static_cast<int>(size);
    codec_interface::h264_sps_data sps;
    int offset = -1;
    if (codec_interface::ICodecInterface::H264FindSeqParameterSet(data, length, sps, &offset)) {
        CheckSize(sps);
        if (offset < 0 || offset >= length) __builtin_trap();
    }
    codec_interface::h264_sps_data single;
    if (codec_interface::ICodecInterface::H264DecodeSeqParameterSet(data, length, single)) CheckSize(single);
    return 0;
}
