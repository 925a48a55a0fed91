// H.264 sequence parameter set parsing (ITU-T H.264 7.3.2.1.1): the picture
// size with frame cropping, from untrusted bytes.
#include "codec/codec_interface.h"
#include "rbsp_reader.h"

namespace codec_interface {

namespace {

constexpr int kNalSps = 7;
constexpr uint32_t kMaxMacroblocks = 1024;  // 16384 pixels a side

bool HasChromaInfo(int profile) {
    switch (profile) {
        case 100: case 110: case 122: case 244: case 44: case 83:
        case 86: case 118: case 128: case 138: case 139: case 134: case 135:
            return true;
        default:
            return false;
    }
}

void SkipScalingList(RbspReader& reader, int size) {
    int last = 8;
    int next = 8;
    for (int j = 0; j < size && !reader.Failed(); ++j) {
        if (next != 0) {
            const int32_t delta = reader.Se();
            if (delta < -128 || delta > 127) {
                reader.Fail();
                return;
            }
            next = (last + delta + 256) % 256;
        }
        last = next == 0 ? last : next;
    }
}

bool ParseChromaInfo(RbspReader& reader, h264_sps_data& sps, bool& separatePlanes) {
    const uint32_t chroma = reader.Ue();
    if (chroma > 3) {
        return false;
    }
    sps.chromaFormatIdc = static_cast<int32_t>(chroma);
    if (chroma == 3) {
        separatePlanes = reader.Flag();
    }
    const uint32_t depthLuma = reader.Ue();
    const uint32_t depthChroma = reader.Ue();
    if (depthLuma > 6 || depthChroma > 6) {
        return false;
    }
    sps.bitDepthLuma = static_cast<int32_t>(depthLuma) + 8;
    reader.Flag();  // qpprime_y_zero_transform_bypass_flag
    if (reader.Flag()) {  // seq_scaling_matrix_present_flag
        const int lists = chroma == 3 ? 12 : 8;
        for (int i = 0; i < lists && !reader.Failed(); ++i) {
            if (reader.Flag()) {
                SkipScalingList(reader, i < 6 ? 16 : 64);
            }
        }
    }
    return !reader.Failed();
}

bool ParsePictureOrder(RbspReader& reader) {
    reader.Ue();  // log2_max_frame_num_minus4
    const uint32_t type = reader.Ue();
    if (type == 0) {
        reader.Ue();  // log2_max_pic_order_cnt_lsb_minus4
    } else if (type == 1) {
        reader.Flag();
        reader.Se();
        reader.Se();
        const uint32_t cycle = reader.Ue();
        if (cycle > 255) {
            return false;
        }
        for (uint32_t i = 0; i < cycle && !reader.Failed(); ++i) {
            reader.Se();
        }
    } else if (type != 2) {
        return false;
    }
    reader.Ue();    // max_num_ref_frames
    reader.Flag();  // gaps_in_frame_num_value_allowed_flag
    return !reader.Failed();
}

}  // namespace

bool ICodecInterface::H264DecodeSeqParameterSet(const uint8_t* data, int length, h264_sps_data& sps) {
    if (!data || length < 4) {
        return false;
    }
    size_t pos = 0;
    if (data[0] == 0 && data[1] == 0 && data[2] == 1) {
        pos = 3;
    } else if (length >= 5 && data[0] == 0 && data[1] == 0 && data[2] == 0 && data[3] == 1) {
        pos = 4;
    }
    if (pos >= static_cast<size_t>(length) || (data[pos] & 0x80) != 0 || (data[pos] & 0x1F) != kNalSps) {
        return false;
    }
    try {
        RbspReader reader(data + pos + 1, static_cast<size_t>(length) - pos - 1);
        h264_sps_data parsed;
        parsed.profileIdc = static_cast<int32_t>(reader.Bits(8));
        reader.Bits(8);  // constraint flags
        parsed.levelIdc = static_cast<int32_t>(reader.Bits(8));
        const uint32_t id = reader.Ue();
        if (reader.Failed() || id > 31) {
            return false;
        }
        parsed.spsId = static_cast<int32_t>(id);
        bool separatePlanes = false;
        if (HasChromaInfo(parsed.profileIdc) && !ParseChromaInfo(reader, parsed, separatePlanes)) {
            return false;
        }
        if (!ParsePictureOrder(reader)) {
            return false;
        }
        const uint32_t widthMbs = reader.Ue() + 1u;
        const uint32_t heightUnits = reader.Ue() + 1u;
        parsed.frameMbsOnly = reader.Flag();
        if (!parsed.frameMbsOnly) {
            reader.Flag();  // mb_adaptive_frame_field_flag
        }
        reader.Flag();  // direct_8x8_inference_flag
        uint32_t crop[4] = {0, 0, 0, 0};  // left, right, top, bottom
        if (reader.Flag()) {
            for (uint32_t& c : crop) {
                c = reader.Ue();
            }
        }
        const uint32_t heightMbs = heightUnits * (parsed.frameMbsOnly ? 1u : 2u);
        if (reader.Failed() || widthMbs == 0 || widthMbs > kMaxMacroblocks || heightUnits == 0 ||
            heightMbs > kMaxMacroblocks) {
            return false;
        }
        // Crop units (Table 6-1 and equations 7-19 to 7-22).
        const int chroma = separatePlanes ? 0 : parsed.chromaFormatIdc;
        const int64_t unitX = chroma == 1 || chroma == 2 ? 2 : 1;
        const int64_t unitY = (chroma == 1 ? 2 : 1) * (parsed.frameMbsOnly ? 1 : 2);
        parsed.codedWidth = static_cast<int32_t>(widthMbs * 16);
        parsed.codedHeight = static_cast<int32_t>(heightMbs * 16);
        const int64_t cropX = (static_cast<int64_t>(crop[0]) + crop[1]) * unitX;
        const int64_t cropY = (static_cast<int64_t>(crop[2]) + crop[3]) * unitY;
        if (cropX >= parsed.codedWidth || cropY >= parsed.codedHeight) {
            return false;
        }
        parsed.cropLeft = static_cast<int32_t>(crop[0] * unitX);
        parsed.cropRight = static_cast<int32_t>(crop[1] * unitX);
        parsed.cropTop = static_cast<int32_t>(crop[2] * unitY);
        parsed.cropBottom = static_cast<int32_t>(crop[3] * unitY);
        parsed.width = parsed.codedWidth - static_cast<int32_t>(cropX);
        parsed.height = parsed.codedHeight - static_cast<int32_t>(cropY);
        sps = parsed;
        return true;
    } catch (...) {
        return false;
    }
}

bool ICodecInterface::H264FindSeqParameterSet(const uint8_t* data, int length, h264_sps_data& sps, int* offset) {
    if (!data || length < 4) {
        return false;
    }
    for (int i = 0; i + 3 < length; ++i) {
        if (data[i] != 0 || data[i + 1] != 0) {
            continue;
        }
        int header = -1;
        int start = i;
        if (data[i + 2] == 1) {
            header = i + 3;
        } else if (data[i + 2] == 0 && i + 4 < length && data[i + 3] == 1) {
            header = i + 4;
        }
        if (header < 0) {
            continue;
        }
        if ((data[header] & 0x1F) == kNalSps) {
            if (offset) {
                *offset = start;
            }
            return H264DecodeSeqParameterSet(data + start, length - start, sps);
        }
        i = header - 1;
    }
    return false;
}

}  // namespace codec_interface
