// SPS parsing of real encoder output, and of cut and random bytes (this
// parser reads network data).
#include <gtest/gtest.h>

#include <random>

#include "codec/codec_interface.h"
#include "test_pictures.h"

namespace {

using namespace codec_interface;

TEST(H264Sps, RealStreamsGiveTheirSizeWithCropping) {
    const int sizes[][2] = {{720, 1280}, {1280, 720}, {1920, 1080}, {176, 144}, {322, 242}, {650, 366}};
    for (const auto& size : sizes) {
        const auto units = mediatest::EncodeH264(size[0], size[1], 1, {81, 90, 240}, {41, 240, 110});
        ASSERT_EQ(units.size(), 1u);
        h264_sps_data sps;
        int offset = -1;
        ASSERT_TRUE(ICodecInterface::H264FindSeqParameterSet(units[0].data(), static_cast<int>(units[0].size()), sps,
                                                             &offset))
            << size[0] << "x" << size[1];
        EXPECT_EQ(offset, 0);
        EXPECT_EQ(sps.width, size[0]);
        EXPECT_EQ(sps.height, size[1]);
        EXPECT_EQ(sps.codedWidth % 16, 0);
        EXPECT_EQ(sps.codedHeight - sps.cropTop - sps.cropBottom, size[1]);
        // The same SPS read directly, with and without its start code.
        h264_sps_data direct;
        EXPECT_TRUE(ICodecInterface::H264DecodeSeqParameterSet(units[0].data(), static_cast<int>(units[0].size()), direct));
        EXPECT_TRUE(ICodecInterface::H264DecodeSeqParameterSet(units[0].data() + 4, static_cast<int>(units[0].size()) - 4, direct));
        EXPECT_EQ(direct.width, size[0]);
    }
}

// High profile (chroma info in the SPS) and field coding (frame_mbs_only 0,
// crop units doubled) straight from libx264.
TEST(H264Sps, HighProfileAndInterlacedStreams) {
    const auto high = mediatest::EncodeWith("libx264", 1920, 1080, 1, {81, 90, 240}, {41, 240, 110},
                                            {{"preset", "veryfast"}, {"profile", "high"}, {"x264-params", "log=0"}});
    ASSERT_EQ(high.size(), 1u);
    h264_sps_data sps;
    ASSERT_TRUE(ICodecInterface::H264FindSeqParameterSet(high[0].data(), static_cast<int>(high[0].size()), sps));
    EXPECT_EQ(sps.profileIdc, 100);
    EXPECT_EQ(sps.width, 1920);
    EXPECT_EQ(sps.height, 1080);
    EXPECT_EQ(sps.cropBottom, 8);
    const auto fields = mediatest::EncodeWith("libx264", 720, 568, 1, {81, 90, 240}, {41, 240, 110},
                                              {{"preset", "ultrafast"}, {"x264-params", "interlaced=1:log=0"}});
    ASSERT_EQ(fields.size(), 1u);
    ASSERT_TRUE(ICodecInterface::H264FindSeqParameterSet(fields[0].data(), static_cast<int>(fields[0].size()), sps));
    EXPECT_FALSE(sps.frameMbsOnly);
    EXPECT_EQ(sps.width, 720);
    EXPECT_EQ(sps.height, 568);
}

TEST(H264Sps, RefusesWhatIsNotAnSps) {
    const auto units = mediatest::EncodeH264(320, 240, 1, {81, 90, 240}, {41, 240, 110});
    ASSERT_EQ(units.size(), 1u);
    const std::vector<uint8_t>& unit = units[0];
    h264_sps_data sps;
    EXPECT_FALSE(ICodecInterface::H264DecodeSeqParameterSet(nullptr, 100, sps));
    EXPECT_FALSE(ICodecInterface::H264DecodeSeqParameterSet(unit.data(), 0, sps));
    EXPECT_FALSE(ICodecInterface::H264DecodeSeqParameterSet(unit.data(), -5, sps));
    // The PPS (second NAL unit) is no SPS.
    int pps = -1;
    for (size_t i = 5; i + 4 < unit.size(); ++i) {
        if (unit[i] == 0 && unit[i + 1] == 0 && unit[i + 2] == 1 && (unit[i + 3] & 0x1F) == 8) {
            pps = static_cast<int>(i);
            break;
        }
    }
    ASSERT_GT(pps, 0);
    EXPECT_FALSE(ICodecInterface::H264DecodeSeqParameterSet(unit.data() + pps, static_cast<int>(unit.size()) - pps, sps));
    // Every cut of the SPS inside its fields fails or, when only trailing bits
    // are missing, still gives the right size.
    for (int length = 1; length < pps; ++length) {
        h264_sps_data cut;
        if (ICodecInterface::H264DecodeSeqParameterSet(unit.data(), length, cut)) {
            EXPECT_EQ(cut.width, 320) << length;
            EXPECT_EQ(cut.height, 240) << length;
        }
    }
    // A slice alone has no SPS.
    EXPECT_FALSE(ICodecInterface::H264FindSeqParameterSet(unit.data() + pps, static_cast<int>(unit.size()) - pps, sps));
}

TEST(H264Sps, RandomAndMutatedBytesNeverCrash) {
    const auto units = mediatest::EncodeH264(640, 360, 1, {81, 90, 240}, {41, 240, 110});
    ASSERT_EQ(units.size(), 1u);
    const std::vector<uint8_t> original(units[0].begin(), units[0].begin() + 40);
    std::mt19937 random(1234);
    int accepted = 0;
    for (int round = 0; round < 20000; ++round) {
        std::vector<uint8_t> bytes;
        if (round % 2) {
            bytes = original;
            for (int flips = 0; flips < 3; ++flips) {
                bytes[4 + random() % (bytes.size() - 4)] ^= static_cast<uint8_t>(1u << (random() % 8));
            }
            bytes.resize(5 + random() % (bytes.size() - 5));
        } else {
            bytes.resize(1 + random() % 64);
            for (auto& b : bytes) b = static_cast<uint8_t>(random());
            bytes[0] = 0x67;  // looks like an SPS header
        }
        h264_sps_data sps;
        if (ICodecInterface::H264DecodeSeqParameterSet(bytes.data(), static_cast<int>(bytes.size()), sps)) {
            ++accepted;
            EXPECT_GT(sps.width, 0);
            EXPECT_GT(sps.height, 0);
            EXPECT_LE(sps.width, 16384);
            EXPECT_LE(sps.height, 16384 * 2);
        }
        ICodecInterface::H264FindSeqParameterSet(bytes.data(), static_cast<int>(bytes.size()), sps);
    }
    EXPECT_LT(accepted, 20000);
    // All-zero and all-ones Exp-Golomb runs.
    std::vector<uint8_t> zeros(200, 0);
    zeros[0] = 0x67;
    zeros[1] = 66;
    h264_sps_data sps;
    EXPECT_FALSE(ICodecInterface::H264DecodeSeqParameterSet(zeros.data(), static_cast<int>(zeros.size()), sps));
    std::vector<uint8_t> ones(200, 0xFF);
    ones[0] = 0x67;
    // All ones: every Exp-Golomb field 0, every flag set: one macroblock.
    if (ICodecInterface::H264DecodeSeqParameterSet(ones.data(), static_cast<int>(ones.size()), sps)) {
        EXPECT_EQ(sps.width, 16);
        EXPECT_EQ(sps.height, 16);
    }
}

}  // namespace
