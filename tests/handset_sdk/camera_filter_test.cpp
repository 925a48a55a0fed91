// The camera filter: the crop and turn values, the log lines, and that the
// filter applied (crop first, turn after) configures on the real encoder for
// every source, where the turn-first order cannot crop the same region.
#include <gtest/gtest.h>

#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "base/base_log.h"
#include "codec/codec_interface.h"
#include "handset_sdk/handset_sdk.h"
#include "uplink/camera_filter.h"
#include "uplink/camera_uplink.h"

namespace {

using namespace handset_sdk;

struct LogLines {
    LogLines() {
        QvLogParam param{};
        param.level = 0;
        std::snprintf(param.directory, sizeof(param.directory), "/tmp");
        std::snprintf(param.name, sizeof(param.name), "camera_filter_test");
        param.fileSizeKb = 64;
        param.fileCount = 1;
        IHandsetSdk::SetLogParam(&param);
        base::SetLogCapture([this](int, const std::string& line) {
            std::lock_guard<std::mutex> lock(mutex);
            lines.push_back(line);
        });
    }
    ~LogLines() { base::SetLogCapture(nullptr); }
    bool Has(const std::string& text) {
        std::lock_guard<std::mutex> lock(mutex);
        for (const auto& l : lines)
            if (l.find(text) != std::string::npos) return true;
        return false;
    }
    std::mutex mutex;
    std::vector<std::string> lines;
};

bool EncoderTakes(const std::string& filter, int width, int height, int* outWidth = nullptr, int* outHeight = nullptr) {
    auto encoder = codec_interface::ICodecInterface::Create(codec_interface::CODEC_VIDEO_ENCODE_H264);
    codec_interface::CVideoEncodeParam param;
    param.width = width;
    param.height = height;
    std::snprintf(param.filter, sizeof(param.filter), "%s", filter.c_str());
    if (encoder->Init(param) != 0) return false;
    std::vector<uint8_t> picture(
        codec_interface::ICodecInterface::ImageGetBufferSize(codec_interface::PIXEL_FORMAT_I420, width, height), 90);
    codec_interface::CVideoEncodeOutParam out;
    if (encoder->Encode(picture.data(), static_cast<int>(picture.size()), out) != 1) return false;
    if (outWidth) *outWidth = out.width;
    if (outHeight) *outHeight = out.height;
    return true;
}

TEST(CameraFilter, TheDesignsExamples) {
    LogLines log;
    const CameraCrop wide = ComputeCameraCrop(1280, 720, 720, 1280);
    EXPECT_EQ(wide.width, 405);
    EXPECT_EQ(wide.height, 720);
    EXPECT_EQ(wide.x, 437);
    EXPECT_EQ(wide.y, 0);

    const CameraFilter back = BuildCameraFilter(640, 480, 640, 360, false, 0);
    EXPECT_EQ(back.applied, "crop=640:360:0:60,transpose=2");
    EXPECT_EQ(back.outWidth, 360);
    EXPECT_EQ(back.outHeight, 640);
    EXPECT_TRUE(log.Has("[HANDSET_SDK]camera back ; phone 0-180; AVFilterStr:crop=640:360:0:60,transpose=2"));
    EXPECT_TRUE(log.Has("[HANDSET_SDK]FilterStr:crop=640:360:0:60,transpose=2"));

    BuildCameraFilter(640, 480, 640, 360, true, 2);
    EXPECT_TRUE(log.Has("[HANDSET_SDK]camera front ; phone 0-180: AVFilterStr:crop=640:360:0:60,transpose=3"));
    BuildCameraFilter(640, 480, 640, 360, true, 1);
    EXPECT_TRUE(log.Has("[HANDSET_SDK]camera front ; phone 90-270"));
    BuildCameraFilter(1280, 720, 720, 1280, false, 3);
    EXPECT_TRUE(log.Has("[HANDSET_SDK]camera back ; phone 90-270"));
    EXPECT_TRUE(log.Has("[HANDSET_SDK]FilterStr:crop=405:720:437:0,transpose=0"));
}

TEST(CameraFilter, TransposeFollowsCameraSideAndOrientation) {
    EXPECT_EQ(CameraTranspose(true, 1), 1);
    EXPECT_EQ(CameraTranspose(false, 1), 0);
    EXPECT_EQ(CameraTranspose(true, 3), 1);
    EXPECT_EQ(CameraTranspose(false, 3), 0);
    EXPECT_EQ(CameraTranspose(true, 0), 3);
    EXPECT_EQ(CameraTranspose(false, 0), 2);
    EXPECT_EQ(CameraTranspose(true, 2), 3);
    EXPECT_EQ(CameraTranspose(false, 2), 2);
}

TEST(CameraFilter, TheCropAlwaysLiesInsideTheSource) {
    const int sizes[][2] = {{640, 480}, {1280, 720}, {320, 240}, {1920, 1080}, {480, 640}, {720, 1280}, {1000, 1000}};
    for (const auto& s : sizes) {
        for (const auto& d : sizes) {
            const CameraCrop c = ComputeCameraCrop(s[0], s[1], d[0], d[1]);
            EXPECT_GE(c.x, 0);
            EXPECT_GE(c.y, 0);
            EXPECT_LE(c.x + c.width, s[0]) << s[0] << "x" << s[1] << " for " << d[0] << "x" << d[1];
            EXPECT_LE(c.y + c.height, s[1]) << s[0] << "x" << s[1] << " for " << d[0] << "x" << d[1];
            EXPECT_NEAR(static_cast<double>(c.width) / c.height, static_cast<double>(d[0]) / d[1], 0.02);
        }
    }
    // A request without a size keeps the whole source.
    const CameraCrop whole = ComputeCameraCrop(640, 480, 0, 0);
    EXPECT_EQ(whole.width, 640);
    EXPECT_EQ(whole.height, 480);
}

TEST(CameraFilter, CropFirstWorksOnTheEncoderWhereTurnFirstCannot) {
    int w = 0, h = 0;
    // The design's examples as the encoder runs them.
    ASSERT_TRUE(EncoderTakes(BuildCameraFilter(640, 480, 640, 360, false, 0).applied, 640, 480, &w, &h));
    EXPECT_EQ(w, 360);
    EXPECT_EQ(h, 640);
    ASSERT_TRUE(EncoderTakes(BuildCameraFilter(1280, 720, 720, 1280, false, 1).applied, 1280, 720, &w, &h));
    EXPECT_EQ(w, 720);
    EXPECT_EQ(h, 404);  // 405 rounded down to whole chroma samples
    // Turned first, the crop is wider than the turned picture. (The first
    // example's 437 + 405 > 720 is not refused: libavfilter moves the window
    // to x = 315, off the centre.)
    EXPECT_FALSE(EncoderTakes("transpose=2,crop=640:360:0:60", 640, 480));
}

TEST(CameraUplinkParts, ParameterSetsAreTakenFromAKeyFrame) {
    const std::vector<uint8_t> au = {0, 0, 0, 1, 0x67, 1, 2, 3, 0, 0, 0, 1, 0x68, 4, 5, 0, 0, 1, 0x65, 9, 9, 9};
    const std::vector<uint8_t> expected = {0, 0, 0, 1, 0x67, 1, 2, 3, 0, 0, 0, 1, 0x68, 4, 5};
    EXPECT_EQ(H264ParameterSets(au), expected);
    EXPECT_TRUE(H264ParameterSets({0, 0, 1, 0x41, 7, 7}).empty());
    EXPECT_TRUE(H264ParameterSets({0, 0, 1}).empty());
}

}  // namespace
