// Picture sizes, wrapping raw buffers and conversions between the formats.
#include <gtest/gtest.h>

#include "codec/codec_interface.h"

namespace {

using namespace codec_interface;

TEST(ImageBuffer, SizesOfEveryFormat) {
    EXPECT_EQ(ICodecInterface::ImageGetBufferSize(PIXEL_FORMAT_I420, 720, 1280), 720 * 1280 * 3 / 2);
    EXPECT_EQ(ICodecInterface::ImageGetBufferSize(PIXEL_FORMAT_NV12, 720, 1280), 720 * 1280 * 3 / 2);
    EXPECT_EQ(ICodecInterface::ImageGetBufferSize(PIXEL_FORMAT_BGRA, 720, 1280), 720 * 1280 * 4);
    EXPECT_EQ(ICodecInterface::ImageGetBufferSize(PIXEL_FORMAT_RGBA, 3, 5), 60);
    EXPECT_EQ(ICodecInterface::ImageGetBufferSize(PIXEL_FORMAT_RGB24, 3, 5), 45);
    EXPECT_EQ(ICodecInterface::ImageGetBufferSize(PIXEL_FORMAT_YUY2, 4, 2), 16);
    // Odd sides round the chroma planes up.
    EXPECT_EQ(ICodecInterface::ImageGetBufferSize(PIXEL_FORMAT_I420, 721, 1281), 721 * 1281 + 2 * 361 * 641);
    for (int bad : {0, -1, 100000}) {
        EXPECT_EQ(ICodecInterface::ImageGetBufferSize(PIXEL_FORMAT_I420, bad, 10), -1);
        EXPECT_EQ(ICodecInterface::ImageGetBufferSize(PIXEL_FORMAT_I420, 10, bad), -1);
    }
    EXPECT_EQ(ICodecInterface::ImageGetBufferSize(PIXEL_FORMAT_HW_SURFACE, 64, 64), -1);
    EXPECT_EQ(ICodecInterface::ImageGetBufferSize(PIXEL_FORMAT_UNKNOWN, 64, 64), -1);
    EXPECT_EQ(ICodecInterface::ImageGetBufferSize(static_cast<PixelFormat>(99), 64, 64), -1);
}

TEST(ImageBuffer, ConvertsScalesAndChecksTheTarget) {
    // A 4 x 2 RGBA picture: left half pure red, right half pure blue.
    std::vector<uint8_t> rgba;
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 4; ++x) {
            const bool left = x < 2;
            rgba.insert(rgba.end(), {static_cast<uint8_t>(left ? 255 : 0), 0, static_cast<uint8_t>(left ? 0 : 255), 255});
        }
    }
    CVideoDecodeOutParam picture;
    EXPECT_EQ(ICodecInterface::ImageWrapBuffer(rgba.data(), 10, PIXEL_FORMAT_RGBA, 4, 2, picture), -1);
    ASSERT_EQ(ICodecInterface::ImageWrapBuffer(rgba.data(), static_cast<int>(rgba.size()), PIXEL_FORMAT_RGBA, 4, 2,
                                               picture),
              0);
    EXPECT_EQ(picture.width, 4);
    // Same format and size: an exact copy.
    std::vector<uint8_t> same(rgba.size());
    ASSERT_EQ(ICodecInterface::ImageCopyToBuffer(same.data(), static_cast<int>(same.size()), PIXEL_FORMAT_RGBA, picture),
              static_cast<int>(same.size()));
    EXPECT_EQ(same, rgba);
    // To BGRA: bytes swap.
    std::vector<uint8_t> bgra(rgba.size());
    ASSERT_EQ(ICodecInterface::ImageCopyToBuffer(bgra.data(), static_cast<int>(bgra.size()), PIXEL_FORMAT_BGRA, picture),
              static_cast<int>(bgra.size()));
    EXPECT_EQ(bgra[0], 0);
    EXPECT_EQ(bgra[2], 255);
    EXPECT_EQ(bgra[12], 255);  // first right-hand pixel: blue
    // Scaled up to 8 x 4 I420, then back to RGBA: colours survive roughly.
    const int i420Size = ICodecInterface::ImageGetBufferSize(PIXEL_FORMAT_I420, 8, 4);
    std::vector<uint8_t> i420(static_cast<size_t>(i420Size));
    EXPECT_EQ(ICodecInterface::ImageCopyToBuffer(i420.data(), i420Size - 1, PIXEL_FORMAT_I420, picture, 8, 4), -1);
    ASSERT_EQ(ICodecInterface::ImageCopyToBuffer(i420.data(), i420Size, PIXEL_FORMAT_I420, picture, 8, 4), i420Size);
    CVideoDecodeOutParam yuv;
    ASSERT_EQ(ICodecInterface::ImageWrapBuffer(i420.data(), i420Size, PIXEL_FORMAT_I420, 8, 4, yuv), 0);
    std::vector<uint8_t> back(8 * 4 * 4);
    ASSERT_EQ(ICodecInterface::ImageCopyToBuffer(back.data(), static_cast<int>(back.size()), PIXEL_FORMAT_RGBA, yuv),
              static_cast<int>(back.size()));
    EXPECT_GT(back[0], 180);        // R of the top-left pixel
    EXPECT_GT(back[7 * 4 + 2], 180);  // B of the top-right pixel
}

TEST(ImageBuffer, RefusesPicturesWithoutPlanesAndHardwareTargets) {
    std::vector<uint8_t> buffer(64 * 64 * 4);
    CVideoDecodeOutParam empty;
    EXPECT_EQ(ICodecInterface::ImageCopyToBuffer(buffer.data(), static_cast<int>(buffer.size()), PIXEL_FORMAT_BGRA,
                                                 empty, 64, 64),
              -1);
    CVideoDecodeOutParam picture;
    ASSERT_EQ(ICodecInterface::ImageWrapBuffer(buffer.data(), static_cast<int>(buffer.size()), PIXEL_FORMAT_BGRA, 64,
                                               64, picture),
              0);
    EXPECT_EQ(ICodecInterface::ImageCopyToBuffer(nullptr, 100, PIXEL_FORMAT_BGRA, picture), -1);
    EXPECT_EQ(ICodecInterface::ImageCopyToBuffer(buffer.data(), static_cast<int>(buffer.size()),
                                                 PIXEL_FORMAT_HW_SURFACE, picture),
              -1);
    picture.pixelFormat = PIXEL_FORMAT_UNKNOWN;
    EXPECT_EQ(ICodecInterface::ImageCopyToBuffer(buffer.data(), static_cast<int>(buffer.size()), PIXEL_FORMAT_BGRA,
                                                 picture),
              -1);
}

}  // namespace
