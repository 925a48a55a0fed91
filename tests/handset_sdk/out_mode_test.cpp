// The whole chain in out mode against the local cloud: decoded pictures of
// the phone's screen, input reaching the phone, rotation, sound, teardown.
#include <thread>

#include "sdk_cloud_fixture.h"

using namespace handset_sdk;
using namespace handset_test;

namespace {

// The touch marker is pure red; allow for the encoder's loss.
bool IsMarkerRed(const Picture& p, int x, int y) {
    if (p.width <= x || p.height <= y) return false;
    const uint8_t* px = &p.data[(static_cast<size_t>(y) * p.width + x) * 4];  // B, G, R, A
    return px[2] > 200 && px[1] < 70 && px[0] < 70;
}

}  // namespace

TEST_F(SdkCloudTest, OutModeHandsOutDecodedPicturesThatFollowTouches) {
    Play(OutMode());
    ASSERT_EQ(sdk->StartOut(), 0);
    EXPECT_TRUE(Logged("[HANDSET_SDK]QV Phone StartOut succ"));
    ASSERT_TRUE(WaitUntil([&] { return notic->Frames() >= 3; })) << "no decoded frames";
    Picture first = notic->LastPicture();
    EXPECT_EQ(first.width, 720);
    EXPECT_EQ(first.height, 1280);
    EXPECT_EQ(first.data.size(), 720u * 1280u * 4u);
    EXPECT_FALSE(IsMarkerRed(first, 500, 1000));

    int x = 500, y = 1000;
    ASSERT_EQ(sdk->SendTouch(0, &x, &y, 1), 0);
    ASSERT_TRUE(WaitUntil([&] { return IsMarkerRed(notic->LastPicture(), 500, 1000); }))
        << "the phone's touch marker never showed at the point sent";
    int mx = 520, my = 1010;
    ASSERT_EQ(sdk->SendTouch(2, &mx, &my, 1), 0);
    ASSERT_EQ(sdk->SendTouch(1, &mx, &my, 1), 0);
    ASSERT_TRUE(WaitUntil([&] { return TouchPoints(1).size() == 1; }));
    EXPECT_EQ(TouchPoints(0), (std::vector<std::vector<int>>{{500, 1000}}));
    EXPECT_EQ(TouchPoints(2), (std::vector<std::vector<int>>{{520, 1010}}));
    EXPECT_EQ(TouchPoints(1), (std::vector<std::vector<int>>{{-1, -1}}));
    // A move with no touch held is not sent.
    EXPECT_EQ(sdk->SendTouch(2, &mx, &my, 1), 0);
    EXPECT_EQ(sdk->SendTouch(0, &mx, &my, 0), -1);
    EXPECT_EQ(sdk->SendTouchRaw(0, &mx, &my, 0), -1);
    ASSERT_EQ(sdk->SendTouchRaw(0, &mx, &my, 1), 0);
    ASSERT_EQ(sdk->SendTouchRaw(1, &mx, &my, 1), 0);
    ASSERT_TRUE(WaitUntil([&] { return TouchPoints(1).size() == 2; }));
    EXPECT_EQ(TouchPoints(2).size(), 1u);

    EXPECT_EQ(sdk->SetOutSize(360, 640), 0);
    ASSERT_TRUE(WaitUntil([&] { return notic->LastPicture().width == 360; }));
    EXPECT_EQ(notic->LastPicture().height, 640);
    EXPECT_EQ(notic->LastPicture().data.size(), 360u * 640u * 4u);
    EXPECT_TRUE(notic->SizeChanges().empty()) << "the output size is not a stream size change";
}

TEST_F(SdkCloudTest, KeysControlKeysVolumeAndTextReachThePhone) {
    Play(OutMode());
    ASSERT_TRUE(WaitUntil([&] { return notic->cursor.load() == 0; })) << "no cursor state after the input mode";
    EXPECT_EQ(sdk->SendKey(1, 0x7A), -1) << "F11 has no code";
    EXPECT_EQ(sdk->SendKey(1, 0x41), 0);
    EXPECT_EQ(sdk->SendKey(0, 0x41), 0);
    EXPECT_EQ(sdk->SendKey(1, 0x0D), 0);
    EXPECT_EQ(sdk->SendKey(0, 0x0D), 0);
    EXPECT_EQ(sdk->SendControlKey(0), 0);
    EXPECT_EQ(sdk->SendControlKey(1), 0);
    EXPECT_EQ(sdk->SendControlKey(2), 0);
    EXPECT_EQ(sdk->SendControlKey(3), -1);
    EXPECT_EQ(sdk->SendVolume(1), 0);
    EXPECT_EQ(sdk->SendVolume(0), 0);
    const std::vector<std::pair<int, bool>> expected = {{30, true},  {30, false},  {28, true},  {28, false},
                                                        {172, true}, {172, false}, {158, true}, {158, false},
                                                        {139, true}, {139, false}, {115, true}, {115, false},
                                                        {114, true}, {114, false}};
    ASSERT_TRUE(WaitUntil([&] { return Keys().size() == expected.size(); })) << Keys().size();
    EXPECT_EQ(Keys(), expected);
    EXPECT_TRUE(Logged("[HANDSET_SDK]send key [0x41]->[0x1E]"));
    EXPECT_TRUE(Logged("[HANDSET_SDK]Send android control key[HOMEPAGE]"));
    EXPECT_TRUE(Logged("[HANDSET_SDK]Send android key[158]"));
    EXPECT_TRUE(Logged("[HANDSET_SDK]Send android Volume [up]"));

    // Outside a text field, characters go as key events and IME messages do nothing.
    char echo[8] = "x";
    EXPECT_EQ(sdk->OnImeMessage(258, 'q', 0, echo, sizeof(echo)), 0);
    EXPECT_STREQ(echo, "x");
    EXPECT_EQ(sdk->SendInputString(nullptr), -1);
    EXPECT_EQ(sdk->SendCopyString(nullptr), -1);
    EXPECT_EQ(sdk->SendMsgTrans("svc", nullptr), -1);

    // Tapping the phone's text field gives it the focus; the cursor turns text mode on.
    int x = 360, y = 140;
    ASSERT_EQ(sdk->SendTouch(0, &x, &y, 1), 0);
    ASSERT_EQ(sdk->SendTouch(1, &x, &y, 1), 0);
    ASSERT_TRUE(WaitUntil([&] { return notic->cursor.load() == 1; })) << "the text field never took the focus";
    EXPECT_EQ(sdk->SendKey(1, 0x11), 0) << "Ctrl is not a character key";
    EXPECT_EQ(sdk->SendKey(1, 0x42), 0) << "Ctrl+B goes as keys";
    EXPECT_EQ(sdk->SendKey(0, 0x42), 0);
    EXPECT_EQ(sdk->SendKey(0, 0x11), 0);
    EXPECT_EQ(sdk->SendKey(1, 0x43), -1) << "without Ctrl the character comes as text";
    EXPECT_EQ(sdk->SendKey(1, 0x20), -1) << "Space comes as the text \" \"";
    EXPECT_EQ(sdk->SendKey(0, 0x20), -1);
    EXPECT_EQ(sdk->SendKey(1, 0x08), 0) << "Backspace has no character: it goes as a key";
    EXPECT_EQ(sdk->SendKey(0, 0x08), 0);
    EXPECT_EQ(sdk->OnImeMessage(258, 'h', 0, echo, sizeof(echo)), 0);
    EXPECT_STREQ(echo, "h");
    EXPECT_EQ(sdk->OnImeMessage(258, 7, 0, echo, sizeof(echo)), 0) << "control characters are not sent";
    const char* committed = "i \xE4\xBD\xA0\xE5\xA5\xBD";  // UTF-8 from the input method
    EXPECT_EQ(sdk->OnImeMessage(270, 0, reinterpret_cast<uintptr_t>(committed), echo, 4), 0);
    EXPECT_STREQ(echo, "i \xE4");
    EXPECT_EQ(sdk->OnImeMessage(270, 0, 0, nullptr, 0), -1);
    EXPECT_TRUE(Logged("[HANDSET_SDK]Get IME input failed"));
    EXPECT_EQ(sdk->OnImeMessage(512, 0, 0, nullptr, 0), 0);
    EXPECT_EQ(sdk->SendInputString("!"), 0);
    cloudsim::PhoneView view;
    ASSERT_TRUE(WaitUntil([&] { return cloud->Phone(kInstance, view) && view.text == std::string("hi \xE4\xBD\xA0\xE5\xA5\xBD!"); }))
        << view.text;
    EXPECT_TRUE(Logged("[HANDSET_SDK]input char [h]"));
    EXPECT_TRUE(Logged("[HANDSET_SDK]input str [i "));

    // Input mode 0 in text mode passes only the release of a held key.
    EXPECT_EQ(sdk->SetInputMode(0), 0);
    EXPECT_EQ(sdk->SendKey(1, 0x0D), -1);
    EXPECT_EQ(sdk->OnImeMessage(258, 'z', 0, nullptr, 0), 0);
    EXPECT_EQ(sdk->SetInputMode(1), 0);
    EXPECT_EQ(sdk->SendKey(1, 0x26), 0);
    EXPECT_EQ(sdk->SetInputMode(0), 0);
    EXPECT_EQ(sdk->SendKey(0, 0x26), 0) << "the release of a key pressed before is still sent";
    ASSERT_TRUE(WaitUntil([&] { return Keys().back() == std::make_pair(103, false); }));
}

TEST_F(SdkCloudTest, UninitReleasesHeldKeysBeforeTheSessionEnds) {
    Play(OutMode());
    ASSERT_EQ(sdk->StartOut(), 0);
    ASSERT_EQ(sdk->SendKey(1, 0x10), 0);
    ASSERT_EQ(sdk->SendKey(1, 0x57), 0);
    ASSERT_EQ(sdk->SendKey(1, 0x57), 0);  // auto-repeat
    ASSERT_TRUE(WaitUntil([&] { return Keys().size() == 3; }));
    ASSERT_EQ(sdk->Uninit(), 0);
    EXPECT_TRUE(Logged("[HANDSET_SDK]DecodeThread Stop"));
    ASSERT_TRUE(WaitUntil([&] { return Keys().size() == 5; })) << Keys().size();
    const auto keys = Keys();
    EXPECT_EQ(keys[3], std::make_pair(42, false));
    EXPECT_EQ(keys[4], std::make_pair(17, false));
    EXPECT_EQ(sdk->SendKey(0, 0x10), -1);
}

TEST_F(SdkCloudTest, RotationRaisesOneSizeChangeAndDecodingGoesOn) {
    Play(OutMode());
    ASSERT_EQ(sdk->StartOut(), 0);
    ASSERT_TRUE(WaitUntil([&] { return notic->Frames() >= 2; }));
    ASSERT_EQ(sdk->SetRotation(1, 0), 0);
    ASSERT_TRUE(WaitUntil([&] { return notic->LastPicture().width == 1280; })) << "no landscape picture";
    const int framesAtTurn = notic->Frames();
    ASSERT_TRUE(WaitUntil([&] { return notic->Frames() >= framesAtTurn + 3; }));
    EXPECT_EQ(notic->SizeChanges(), (std::vector<std::pair<int, int>>{{1280, 720}}));
    EXPECT_EQ(notic->WrongSizeFrames(), 0) << "every picture had the size announced before it";
    EXPECT_EQ(notic->LastPicture().height, 720);
    EXPECT_TRUE(Logged("[HANDSET_SDK]video change size[720*1280]-->[1280*720]"));
    ASSERT_TRUE(WaitUntil([&] { return !notic->Screens().empty(); }));
    EXPECT_EQ(notic->Screens().back()[2], 1) << "the screen notification's rotation comes last";
    // Touches now land in landscape coordinates.
    int x = 1100, y = 600;
    ASSERT_EQ(sdk->SendTouch(0, &x, &y, 1), 0);
    ASSERT_TRUE(WaitUntil([&] {
        Picture p = notic->LastPicture();
        return IsMarkerRed(p, 1100, 600);
    }));
}

TEST_F(SdkCloudTest, AudioIsHandedOutOnlyWhenNotDropped) {
    Play(OutMode());
    ASSERT_EQ(sdk->StartOut(), 0);
    ASSERT_TRUE(WaitUntil([&] { return notic->Frames() >= 5; }));
    EXPECT_EQ(notic->audioFrames.load(), 0) << "value18 is set by default: audio stays out of the queue";
    ASSERT_EQ(sdk->SetPlayControl(0, 1), 0);
    ASSERT_TRUE(WaitUntil([&] { return notic->audioFrames.load() >= 5; })) << "no decoded audio";
    EXPECT_TRUE(Received("playControl").empty()) << "the play value did not change";
    ASSERT_EQ(sdk->SetPlayControl(1, 0), 0);
    ASSERT_TRUE(WaitUntil([&] { return Received("playControl").size() == 1; }));
    EXPECT_EQ(Received("playControl")[0].fields["first"].asInt(), 1);
    EXPECT_EQ(Received("playControl")[0].fields["second"].asInt(), 1);
}

TEST_F(SdkCloudTest, UninitWhileFramesFlowThenInitAgain) {
    for (int round = 0; round < 2; ++round) {
        notic = std::make_shared<PhoneRecorder>();
        Play(OutMode());
        ASSERT_EQ(sdk->StartOut(), 0);
        ASSERT_TRUE(WaitUntil([&] { return notic->Frames() >= 2; }));
        ASSERT_EQ(sdk->Uninit(), 0);
        const int frames = notic->Frames();
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        EXPECT_EQ(notic->Frames(), frames) << "no frame after Uninit returned";
    }
}

// Input from several threads while the decode thread hands out frames.
TEST_F(SdkCloudTest, InputFromManyThreadsWhileFramesDecode) {
    Play(OutMode());
    ASSERT_EQ(sdk->StartOut(), 0);
    ASSERT_TRUE(WaitUntil([&] { return notic->Frames() >= 1; }));
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 25; ++i) {
                int x = 100 + t, y = 900 + i;
                sdk->SendKey(1, 0x41 + t);
                sdk->SendTouch(0, &x, &y, 1);
                sdk->SendTouch(2, &x, &y, 1);
                sdk->SendTouch(1, &x, &y, 1);
                sdk->SendKey(0, 0x41 + t);
                if (i % 5 == 0) sdk->SetOutSize(i % 10 == 0 ? 360 : 720, i % 10 == 0 ? 640 : 1280);
            }
        });
    }
    for (auto& th : threads) th.join();
    ASSERT_TRUE(WaitUntil([&] { return Keys().size() == 200; })) << Keys().size();
    ASSERT_TRUE(WaitUntil([&] { return TouchPoints(1).size() == 100; }));
    const int frames = notic->Frames();
    ASSERT_TRUE(WaitUntil([&] { return notic->Frames() > frames; })) << "decoding stopped";
}
