// H.264 encode and decode through the library, H.265 decode, output size,
// conversion of decoded pictures, the capture filter chain and the probe.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include <unistd.h>

#include "codec/codec_interface.h"
#include "test_pictures.h"

namespace {

using namespace codec_interface;
using mediatest::Yuv;

constexpr Yuv kRed{81, 90, 240};
constexpr Yuv kBlue{41, 240, 110};

std::shared_ptr<ICodecInterface> OpenDecoder(CodecType type) {
    auto decoder = ICodecInterface::Create(type);
    if (!decoder || decoder->Init(CVideoDecodeParam{}) != 0) {
        return nullptr;
    }
    return decoder;
}

// Decodes every unit; each must give exactly one picture (low delay).
std::vector<CVideoDecodeOutParam> DecodeAll(ICodecInterface& decoder, const std::vector<std::vector<uint8_t>>& units) {
    std::vector<CVideoDecodeOutParam> pictures;
    for (const auto& unit : units) {
        CVideoDecodeOutParam out;
        EXPECT_EQ(decoder.Decode(unit.data(), static_cast<int>(unit.size()), out), 1);
        pictures.push_back(out);
    }
    return pictures;
}

std::vector<uint8_t> ToBgra(const CVideoDecodeOutParam& picture, int width = 0, int height = 0) {
    const int w = width ? width : picture.width;
    const int h = height ? height : picture.height;
    const int size = ICodecInterface::ImageGetBufferSize(PIXEL_FORMAT_BGRA, w, h);
    std::vector<uint8_t> bgra(static_cast<size_t>(size));
    EXPECT_EQ(ICodecInterface::ImageCopyToBuffer(bgra.data(), size, PIXEL_FORMAT_BGRA, picture, width, height), size);
    return bgra;
}

void ExpectRedLeftBlueRight(const std::vector<uint8_t>& bgra, int w, int h) {
    // Away from the colour edge; BGRA byte order: 0 B, 2 R.
    EXPECT_GT(mediatest::MeanChannel(bgra, w, 0, 0, w / 2 - 8, h, 2), 200);
    EXPECT_LT(mediatest::MeanChannel(bgra, w, 0, 0, w / 2 - 8, h, 0), 50);
    EXPECT_GT(mediatest::MeanChannel(bgra, w, w / 2 + 8, 0, w, h, 0), 200);
    EXPECT_LT(mediatest::MeanChannel(bgra, w, w / 2 + 8, 0, w, h, 2), 50);
}

TEST(VideoCodec, H264RoundTripGivesOnePicturePerFrameWithTheColours) {
    const auto units = mediatest::EncodeH264(320, 240, 5, kRed, kBlue);
    ASSERT_EQ(units.size(), 5u);
    auto decoder = OpenDecoder(CODEC_VIDEO_DECODE_H264);
    ASSERT_TRUE(decoder);
    const auto pictures = DecodeAll(*decoder, units);
    for (size_t i = 0; i < pictures.size(); ++i) {
        EXPECT_EQ(pictures[i].width, 320);
        EXPECT_EQ(pictures[i].height, 240);
        EXPECT_EQ(pictures[i].pixelFormat, PIXEL_FORMAT_I420);
        EXPECT_EQ(pictures[i].frameIndex, static_cast<int64_t>(i + 1));
    }
    ExpectRedLeftBlueRight(ToBgra(pictures.back()), 320, 240);
    // The first picture's planes outlive the later decodes.
    ExpectRedLeftBlueRight(ToBgra(pictures.front()), 320, 240);
}

TEST(VideoCodec, OutputSizeScalesWhatIsHandedOut) {
    const auto units = mediatest::EncodeH264(320, 240, 2, kRed, kBlue);
    auto decoder = OpenDecoder(CODEC_VIDEO_DECODE_H264);
    ASSERT_TRUE(decoder);
    EXPECT_EQ(decoder->SetOutputSize(0, 5), -1);
    EXPECT_EQ(decoder->SetOutputSize(-4, 100), -1);
    ASSERT_EQ(decoder->SetOutputSize(160, 90), 0);
    auto pictures = DecodeAll(*decoder, units);
    ASSERT_EQ(pictures.size(), 2u);
    EXPECT_EQ(pictures[1].width, 160);
    EXPECT_EQ(pictures[1].height, 90);
    EXPECT_EQ(pictures[1].sourceWidth, 320);
    ExpectRedLeftBlueRight(ToBgra(pictures[1]), 160, 90);
    ASSERT_EQ(decoder->SetOutputSize(0, 0), 0);
    CVideoDecodeOutParam out;
    ASSERT_EQ(decoder->Decode(units[1].data(), static_cast<int>(units[1].size()), out), 1);
    EXPECT_EQ(out.width, 320);
}

TEST(VideoCodec, BadInputFailsWithoutAPicture) {
    auto decoder = OpenDecoder(CODEC_VIDEO_DECODE_H264);
    ASSERT_TRUE(decoder);
    CVideoDecodeOutParam out;
    EXPECT_EQ(decoder->Decode(nullptr, 10, out), -1);
    const uint8_t one = 0;
    EXPECT_EQ(decoder->Decode(&one, 0, out), -1);
    std::mt19937 random(7);
    std::vector<uint8_t> garbage(4000);
    for (int round = 0; round < 20; ++round) {
        for (auto& b : garbage) b = static_cast<uint8_t>(random());
        EXPECT_LE(decoder->Decode(garbage.data(), static_cast<int>(garbage.size()), out), 0);
    }
    // The decoder still works after the garbage.
    const auto units = mediatest::EncodeH264(128, 96, 1, kRed, kBlue);
    ASSERT_EQ(units.size(), 1u);
    EXPECT_EQ(decoder->Decode(units[0].data(), static_cast<int>(units[0].size()), out), 1);
    EXPECT_EQ(out.width, 128);
}

TEST(VideoCodec, WrongKindsAndUninitialisedCodecsRefuse) {
    EXPECT_EQ(ICodecInterface::Create(static_cast<CodecType>(42)), nullptr);
    auto decoder = ICodecInterface::Create(CODEC_VIDEO_DECODE_H264);
    ASSERT_TRUE(decoder);
    CVideoDecodeOutParam out;
    const uint8_t data[8] = {0, 0, 0, 1, 0x67, 0, 0, 0};
    EXPECT_EQ(decoder->Decode(data, 8, out), -1);  // not initialised
    EXPECT_EQ(decoder->Init(CAudioDecodeParam{}), -1);
    CVideoEncodeOutParam encoded;
    EXPECT_EQ(decoder->Encode(data, 8, encoded), -1);
}

TEST(VideoCodec, H265DecodesWhenAnEncoderIsAvailable) {
    const auto units = mediatest::EncodeWith("libx265", 320, 240, 3, kRed, kBlue,
                                            {{"preset", "ultrafast"}, {"tune", "zerolatency"},
                                             {"x265-params", "log-level=error:repeat-headers=1"}});
    if (units.empty()) {
        GTEST_SKIP() << "no H.265 encoder in this FFmpeg";
    }
    auto decoder = OpenDecoder(CODEC_VIDEO_DECODE_H265);
    ASSERT_TRUE(decoder);
    CVideoDecodeOutParam last;
    int pictures = 0;
    for (const auto& unit : units) {
        const int result = decoder->Decode(unit.data(), static_cast<int>(unit.size()), last);
        ASSERT_GE(result, 0);
        pictures += result;
    }
    EXPECT_EQ(pictures, static_cast<int>(units.size()));
    EXPECT_EQ(last.width, 320);
    EXPECT_EQ(last.height, 240);
    ExpectRedLeftBlueRight(ToBgra(last), 320, 240);
}

TEST(VideoCodec, EncoderAppliesTheCropAndTransposeChain) {
    // 640 x 480 landscape turned a quarter (transpose=1: clockwise), then the
    // centre 360 x 480 of the 480 x 640 result: left red becomes the top.
    const auto units = mediatest::EncodeH264(640, 480, 2, kRed, kBlue, "transpose=1,crop=360:480:60:80");
    ASSERT_EQ(units.size(), 2u);
    h264_sps_data sps;
    ASSERT_TRUE(ICodecInterface::H264FindSeqParameterSet(units[0].data(), static_cast<int>(units[0].size()), sps));
    EXPECT_EQ(sps.width, 360);
    EXPECT_EQ(sps.height, 480);
    auto decoder = OpenDecoder(CODEC_VIDEO_DECODE_H264);
    const auto pictures = DecodeAll(*decoder, units);
    const auto bgra = ToBgra(pictures.back());
    EXPECT_GT(mediatest::MeanChannel(bgra, 360, 0, 0, 360, 200, 2), 200);    // top: red
    EXPECT_GT(mediatest::MeanChannel(bgra, 360, 0, 280, 360, 480, 0), 200);  // bottom: blue
}

TEST(VideoCodec, EncoderRefusesAChainThatDoesNotFit) {
    auto encoder = ICodecInterface::Create(CODEC_VIDEO_ENCODE_H264);
    CVideoEncodeParam param;
    param.width = 640;
    param.height = 480;
    std::strcpy(param.filter, "transpose=2,crop=640:360:0:60");  // wider than the turned picture
    EXPECT_EQ(encoder->Init(param), -1);
    std::strcpy(param.filter, "no_such_filter");
    EXPECT_EQ(encoder->Init(param), -1);
    param.filter[0] = 0;
    param.pixelFormat = PIXEL_FORMAT_HW_SURFACE;
    EXPECT_EQ(encoder->Init(param), -1);
    param.pixelFormat = PIXEL_FORMAT_I420;
    ASSERT_EQ(encoder->Init(param), 0);
    CVideoEncodeOutParam out;
    std::vector<uint8_t> tooShort(1000);
    EXPECT_EQ(encoder->Encode(tooShort.data(), static_cast<int>(tooShort.size()), out), -1);
}

TEST(VideoCodec, EncoderTakesOtherSourceFormatsAndAnOutputSize) {
    auto encoder = ICodecInterface::Create(CODEC_VIDEO_ENCODE_H264);
    CVideoEncodeParam param;
    param.width = 200;
    param.height = 100;
    param.pixelFormat = PIXEL_FORMAT_RGBA;
    param.outWidth = 101;  // rounded down to even
    param.outHeight = 50;
    ASSERT_EQ(encoder->Init(param), 0);
    std::vector<uint8_t> rgba(200 * 100 * 4, 0);
    for (size_t i = 0; i < rgba.size(); i += 4) {
        rgba[i + 1] = 255;  // green
        rgba[i + 3] = 255;
    }
    CVideoEncodeOutParam out;
    ASSERT_EQ(encoder->Encode(rgba.data(), static_cast<int>(rgba.size()), out), 1);
    EXPECT_TRUE(out.keyFrame);
    EXPECT_EQ(out.width, 100);
    EXPECT_EQ(out.height, 50);
    auto decoder = OpenDecoder(CODEC_VIDEO_DECODE_H264);
    CVideoDecodeOutParam picture;
    ASSERT_EQ(decoder->Decode(out.data.data(), static_cast<int>(out.data.size()), picture), 1);
    const auto bgra = ToBgra(picture);
    EXPECT_GT(mediatest::MeanChannel(bgra, 100, 0, 0, 100, 50, 1), 200);
    EXPECT_LT(mediatest::MeanChannel(bgra, 100, 0, 0, 100, 50, 2), 40);
}

// The probe as the SDK runs it; without a VAAPI device it must answer "not
// supported" cleanly, with one it must answer with a surface.
TEST(VideoCodec, HardwareProbeAnswersWithoutFailing) {
    auto probe = ICodecInterface::Create(CODEC_VIDEO_DECODE_H264_HW);
    ASSERT_TRUE(probe);
    bool supported = false;
    if (probe->Init(CVideoDecodeParam{64, 64, 30, 0}) == 0) {
        const auto stream = ICodecInterface::HardwareProbeStream();
        CVideoDecodeOutParam out;
        const int result = probe->Decode(stream.data(), static_cast<int>(stream.size()), out);
        supported = result != -1 && out.width >= 1 && out.pixelFormat == PIXEL_FORMAT_HW_SURFACE;
    }
    if (access("/dev/dri", F_OK) != 0) {
        EXPECT_FALSE(supported);
    }
    // The probe stream itself is a valid 64 x 64 key frame.
    auto software = OpenDecoder(CODEC_VIDEO_DECODE_H264);
    const auto stream = ICodecInterface::HardwareProbeStream();
    CVideoDecodeOutParam out;
    ASSERT_EQ(software->Decode(stream.data(), static_cast<int>(stream.size()), out), 1);
    EXPECT_EQ(out.width, 64);
    EXPECT_EQ(out.height, 64);
}

}  // namespace
