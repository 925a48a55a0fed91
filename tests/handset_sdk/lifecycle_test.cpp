// Init checks, defaults, the life cycle and what the play result decides.
#include <memory>

#include "data_hub/data_hub.h"
#include "sdk_cloud_fixture.h"

using namespace handset_sdk;
using namespace handset_test;

TEST_F(SdkCloudTest, InitRefusesEmptyTextsAndBadVideoRecords) {
    const QVOutParam out = OutMode();
    QvDataParam data = Data();
    data.instanceNo[0] = '\0';
    EXPECT_EQ(sdk->Init(notic, &data, nullptr, nullptr, &out), -1);
    EXPECT_TRUE(Logged("[HANDSET_SDK]Data param have empty value"));
    EXPECT_TRUE(Logged("[HANDSET_SDK]CheckParam failed"));
    EXPECT_EQ(sdk->Uninit(), 0) << "the state went back to idle";
    EXPECT_EQ(sdk->Init(notic, nullptr, nullptr, nullptr, &out), -1);

    data = Data();
    QvPhoneParam video;
    video.width = 99;
    ClearLog();
    EXPECT_EQ(sdk->Init(notic, &data, &video, nullptr, &out), -1);
    EXPECT_TRUE(Logged("[HANDSET_SDK]Phone param err"));
    video = QvPhoneParam();
    video.height = 99;
    EXPECT_EQ(sdk->Init(notic, &data, &video, nullptr, &out), -1);
    video = QvPhoneParam();
    video.fps = 0;
    EXPECT_EQ(sdk->Init(notic, &data, &video, nullptr, &out), -1);
    video = QvPhoneParam();
    video.bitrate = 0;
    EXPECT_EQ(sdk->Init(notic, &data, &video, nullptr, &out), -1);
    // The session layer's bounds: fps above 60 and sizes above 4096 are refused there.
    video = QvPhoneParam();
    video.fps = 61;
    EXPECT_EQ(sdk->Init(notic, &data, &video, nullptr, &out), -1);
    EXPECT_TRUE(Logged("[HANDSET_SDK]Init data interface failed"));
    QvSysParam sys;
    sys.connectTimeoutMs = 999;
    EXPECT_EQ(sdk->Init(notic, &data, nullptr, &sys, &out), -1);
    sys = QvSysParam();
    sys.param6 = -1;
    EXPECT_EQ(sdk->Init(notic, &data, nullptr, &sys, &out), -1);

    video = QvPhoneParam();
    video.width = 100;
    video.height = 4096;
    video.fps = 60;
    EXPECT_EQ(sdk->Init(notic, &data, &video, nullptr, &out), 0);
    EXPECT_TRUE(Logged("[HANDSET_SDK]QV Phone Init succ"));
    EXPECT_EQ(sdk->Init(notic, &data, &video, nullptr, &out), -1) << "second Init without Uninit";
    EXPECT_EQ(sdk->Uninit(), 0);
    EXPECT_EQ(sdk->Uninit(), 0) << "a late Uninit finds the idle state";
}

TEST_F(SdkCloudTest, OperationsNeedAPlayingStream) {
    ASSERT_EQ(InitSdk(OutMode()), 0);
    int x = 1, y = 1;
    EXPECT_EQ(sdk->StartOut(), -1);
    EXPECT_EQ(sdk->SendKey(1, 0x41), -1);
    EXPECT_EQ(sdk->SendTouch(0, &x, &y, 1), -1);
    EXPECT_EQ(sdk->SendInputString("a"), -1);
    EXPECT_EQ(sdk->SetCaptureSource(nullptr, nullptr), -1);
    EXPECT_EQ(sdk->Uninit(), 0);
    EXPECT_EQ(sdk->Start(), -1) << "Start needs Init";
}

TEST_F(SdkCloudTest, NullRecordsTakeTheDefaults) {
    const QvDataParam data = Data();
    ASSERT_EQ(sdk->Init(notic, &data, nullptr, nullptr, nullptr), 0);
    ASSERT_EQ(sdk->Start(), 0);
    ASSERT_TRUE(WaitUntil([&] { return !Received("play").empty(); }));
    const Json::Value play = Received("play")[0].fields;
    EXPECT_EQ(play["videoCodec"].asInt(), 264);
    EXPECT_EQ(play["width"].asInt(), 720);
    EXPECT_EQ(play["height"].asInt(), 1280);
    EXPECT_EQ(play["fps"].asInt(), 30);
    EXPECT_EQ(play["videoBitrate"].asInt(), 2048);
    EXPECT_EQ(Received("auth")[0].fields["authArg"].asInt(), 0);
    ASSERT_TRUE(WaitUntil([&] { return !notic->Plays().empty(); }));
    // Show mode is the default: StartOut is refused without a line.
    ClearLog();
    EXPECT_EQ(sdk->StartOut(), -1);
    EXPECT_FALSE(Logged("StartOut"));
    EXPECT_EQ(sdk->SetOutSize(360, 640), -1);
}

TEST_F(SdkCloudTest, HardwareOnlyFailsWithoutHardwareDecoding) {
    QVOutParam out = OutMode();
    out.decodeMode = 1;
    const QvDataParam data = Data();
    const int result = sdk->Init(notic, &data, nullptr, nullptr, &out);
    if (Logged("[HANDSET_SDK]Support HardwareDecode[1]")) GTEST_SKIP() << "this machine decodes in hardware";
    EXPECT_EQ(result, -1);
    EXPECT_TRUE(Logged("[HANDSET_SDK]Hardware decode not support"));
    EXPECT_TRUE(Logged("[HANDSET_SDK]QV Phone Init failed"));
    // Either way round, the automatic choice falls back to software.
    out.decodeMode = 0;
    ClearLog();
    EXPECT_EQ(sdk->Init(notic, &data, nullptr, nullptr, &out), 0);
    EXPECT_TRUE(Logged("[HANDSET_SDK]Hardware decode not support, use software decode"));
    EXPECT_FALSE(Logged("CheckHardwareDecode")) << "the probe runs once per process";
}

// The play result arrives through the SDK's session-layer notifications.
TEST_F(SdkCloudTest, PlayResultWithoutPictureSizeLeavesMediaUnready) {
    ASSERT_EQ(InitSdk(OutMode()), 0);
    auto hubNotic = std::dynamic_pointer_cast<data_hub::IDataHubNotic>(sdk);
    ASSERT_TRUE(hubNotic);
    hubNotic->OnPlayRes(0, "success", 264, 2048, 10, 0, 1280, 1, 0, 0);
    EXPECT_TRUE(Logged("[HANDSET_SDK]Get video size[0*1280]; Do not play!"));
    EXPECT_TRUE(Logged("[HANDSET_SDK]Get audio Format[1] samplerate[48000] Channel[2];"));
    ASSERT_EQ(notic->Plays().size(), 1u);
    EXPECT_EQ(notic->Plays()[0].sampleRate, 48000) << "no audio values: 48000 Hz stereo";
    EXPECT_EQ(notic->Plays()[0].channels, 2);
    EXPECT_EQ(sdk->StartOut(), -1);
    EXPECT_EQ(sdk->StartShow(1, nullptr, 0), -1);

    hubNotic->OnPlayRes(0, "success", 263, 2048, 10, 720, 1280, 1, 48000, 2);
    EXPECT_TRUE(Logged("[HANDSET_SDK]unsupport video format[263]!"));
    EXPECT_EQ(notic->CountStatus(QV_PHONE_VIDEO_FORMAT_UNSUPPORTED), 1);
    EXPECT_EQ(notic->Plays().back().code, QV_PHONE_VIDEO_FORMAT_UNSUPPORTED);
    EXPECT_EQ(sdk->StartOut(), -1);

    hubNotic->OnPlayRes(0, "success", 264, 2048, 10, 720, 1280, 7, 48000, 2);
    EXPECT_EQ(notic->CountStatus(QV_PHONE_AUDIO_FORMAT_UNSUPPORTED), 1);
    EXPECT_EQ(sdk->StartOut(), 0) << "a good video set-up makes the media ready";
    EXPECT_EQ(sdk->StartOut(), -1);
    EXPECT_TRUE(Logged("[HANDSET_SDK]decode thread have started"));
    EXPECT_EQ(sdk->Start(), -1) << "already playing";

    hubNotic->OnPlayRes(60101001, "play before auth", 0, 0, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(notic->Plays().back().code, 60101001) << "a failed play result is passed on unchanged";
    EXPECT_EQ(notic->Plays().back().msg, "play before auth");
}

TEST_F(SdkCloudTest, CaptureSourcesRegisterAndUnregister) {
    Play(OutMode());
    auto camera = std::make_shared<capture::CCaptureProducer>(capture::CAPTURE_TYPE_I420);
    EXPECT_EQ(sdk->SetCaptureSource(nullptr, nullptr), -1);
    EXPECT_EQ(sdk->ResetCaptureSource(nullptr), -1);
    EXPECT_EQ(sdk->SetCaptureSource(camera, nullptr), 0);
    EXPECT_GE(camera.use_count(), 2);
    EXPECT_EQ(sdk->ResetCaptureSource(camera), 0);
    EXPECT_EQ(camera.use_count(), 1);
    EXPECT_EQ(sdk->SetCaptureSource(camera, nullptr), 0);
    EXPECT_EQ(sdk->Uninit(), 0);
    EXPECT_EQ(camera.use_count(), 1) << "Uninit forgets the producers";
}
