// The synthetic phone on its own: what input does to it, what it reports,
// and that its picture shows the touch marker where the touch landed.
#include <gtest/gtest.h>

#include <vector>

#include "canvas.h"
#include "jpeg_encoder.h"
#include "phone_layout.h"
#include "phone_renderer.h"
#include "synthetic_phone.h"

namespace cloudsim {
namespace {

struct Reports {
    std::vector<PhoneReport> list;
    void Attach(SyntheticPhone& phone) {
        phone.AddObserver([this](const PhoneReport& report) { list.push_back(report); });
    }
};

void Tap(SyntheticPhone& phone, int x, int y) {
    phone.Touch(0, {{x, y}});
    phone.Touch(1, {{-1, -1}});
}

void TapTextField(SyntheticPhone& phone) {
    const Rect field = LayoutFor(phone.Snapshot().landscape).textField;
    Tap(phone, field.x + 10, field.y + 10);
}

void Press(SyntheticPhone& phone, int code) {
    phone.Key(code, true);
    phone.Key(code, false);
}

TEST(SyntheticPhone, ASmallerScreenScalesItsLayoutAndTurnsWithItsOwnSides) {
    SyntheticPhone phone("P1", "Phone", 540, 960);
    EXPECT_EQ(phone.Snapshot().width, 540);
    const PhoneLayout layout = LayoutFor(540, 960);
    const PhoneLayout big = LayoutFor(false);
    EXPECT_EQ(layout.textField.y, big.textField.y * 540 / 720);
    EXPECT_LE(layout.navBar.y + layout.navBar.h, 960);
    EXPECT_LE(layout.apps.back().icon.y + layout.apps.back().icon.h, layout.navBar.y);
    // The same relative spot as on a 720 x 1280 phone hits the text field.
    Tap(phone, big.textField.x * 540 / 720 + 8, (big.textField.y + big.textField.h / 2) * 960 / 1280);
    EXPECT_TRUE(phone.Snapshot().focused);
    phone.SetRotation(1);
    EXPECT_EQ(phone.Snapshot().width, 960);
    EXPECT_EQ(phone.Snapshot().height, 540);
}

TEST(SyntheticPhone, TextFieldFocusReportsTheCursorAndTakesKeysAndText) {
    SyntheticPhone phone("P1", "Phone");
    Reports reports;
    reports.Attach(phone);

    Press(phone, 30);  // 'a' without focus goes nowhere
    phone.InputText("lost");
    EXPECT_EQ(phone.Snapshot().text, "");

    TapTextField(phone);
    ASSERT_EQ(reports.list.size(), 1u);
    EXPECT_EQ(reports.list[0].kind, PhoneReport::kCursor);
    EXPECT_EQ(reports.list[0].value, 1);

    phone.Key(42, true);  // shift
    Press(phone, 35);     // H
    phone.Key(42, false);
    Press(phone, 23);  // i
    Press(phone, 57);  // space
    phone.InputText("wörld");
    Press(phone, 14);  // backspace removes the whole last character
    EXPECT_EQ(phone.Snapshot().text, "Hi wörl");

    Tap(phone, 5, LayoutFor(false).height / 2);  // outside the field
    ASSERT_EQ(reports.list.size(), 2u);
    EXPECT_EQ(reports.list[1].kind, PhoneReport::kCursor);
    EXPECT_EQ(reports.list[1].value, 0);
}

TEST(SyntheticPhone, CtrlCCopiesTheFieldOutAndCtrlVPastesTheClipboard) {
    SyntheticPhone phone("P1", "Phone");
    Reports reports;
    reports.Attach(phone);
    TapTextField(phone);
    phone.InputText("abc");
    phone.Key(29, true);
    Press(phone, 46);  // Ctrl+C
    phone.Key(29, false);
    ASSERT_EQ(reports.list.back().kind, PhoneReport::kClipboard);
    EXPECT_EQ(reports.list.back().text, "abc");

    phone.SetClipboard("XYZ");
    phone.Key(29, true);
    Press(phone, 47);  // Ctrl+V
    phone.Key(29, false);
    EXPECT_EQ(phone.Snapshot().text, "abcXYZ");
    EXPECT_EQ(phone.Snapshot().clipboard, "XYZ");
}

TEST(SyntheticPhone, VolumeKeysStayWithinRange) {
    SyntheticPhone phone("P1", "Phone");
    const int start = phone.Snapshot().volume;
    Press(phone, 115);
    EXPECT_EQ(phone.Snapshot().volume, start + 1);
    for (int i = 0; i < 40; ++i) Press(phone, 114);
    EXPECT_EQ(phone.Snapshot().volume, 0);
    for (int i = 0; i < 40; ++i) Press(phone, 115);
    EXPECT_EQ(phone.Snapshot().volume, SyntheticPhone::kMaxVolume);
}

TEST(SyntheticPhone, RotationTurnsTheScreenAndReportsIt) {
    SyntheticPhone phone("P1", "Phone");
    Reports reports;
    reports.Attach(phone);
    phone.Touch(0, {{10, 1000}});
    phone.SetRotation(1);
    PhoneState state = phone.Snapshot();
    EXPECT_TRUE(state.landscape);
    EXPECT_EQ(state.width, 1280);
    EXPECT_EQ(state.height, 720);
    EXPECT_TRUE(state.marks.empty());
    ASSERT_EQ(reports.list.size(), 1u);
    EXPECT_EQ(reports.list[0].kind, PhoneReport::kScreen);
    EXPECT_EQ(reports.list[0].value, 1);

    phone.Touch(0, {{1000, 600}});  // only valid in landscape
    EXPECT_EQ(phone.Snapshot().marks.back().x, 1000);
    phone.SetRotation(2);
    EXPECT_FALSE(phone.Snapshot().landscape);
    EXPECT_EQ(reports.list.back().value, 0);
}

TEST(SyntheticPhone, OffScreenPointsAndMovesWithoutDownLeaveNoMark) {
    SyntheticPhone phone("P1", "Phone");
    phone.Touch(2, {{50, 50}});
    phone.Touch(0, {{-1, -1}});
    phone.Touch(0, {{720, 10}});
    EXPECT_TRUE(phone.Snapshot().marks.empty());
    phone.Touch(0, {{10, 10}});
    phone.Touch(2, {{30, 40}});
    ASSERT_EQ(phone.Snapshot().marks.size(), 1u);
    EXPECT_EQ(phone.Snapshot().marks.back().x, 30);
    phone.Touch(1, {{-1, -1}});
    phone.Touch(2, {{60, 60}});
    EXPECT_EQ(phone.Snapshot().marks.back().x, 30);
    for (int i = 0; i < 20; ++i) phone.Touch(0, {{i, i}});
    EXPECT_EQ(phone.Snapshot().marks.size(), SyntheticPhone::kMaxMarks);
}

TEST(SyntheticPhone, CameraAndMicAppsSwitchAndReport) {
    SyntheticPhone phone("P1", "Phone");
    Reports reports;
    reports.Attach(phone);
    for (const auto& app : LayoutFor(false).apps) {
        if (app.role == AppRole::kNone) continue;
        Tap(phone, app.icon.x + 5, app.icon.y + 5);
    }
    ASSERT_EQ(reports.list.size(), 2u);
    EXPECT_EQ(reports.list[0].kind, PhoneReport::kCamera);
    EXPECT_EQ(reports.list[1].kind, PhoneReport::kMicrophone);
    EXPECT_TRUE(phone.Snapshot().cameraOn);
    EXPECT_TRUE(phone.Snapshot().micOn);
}

TEST(PhoneRenderer, NewestMarkIsTheOnlyMarkerRed) {
    SyntheticPhone phone("P1", "Phone");
    phone.Touch(0, {{100, 900}});
    phone.Touch(0, {{500, 300}});
    const PhoneState state = phone.Snapshot();
    Canvas canvas(state.width, state.height);
    RenderPhone(state, phone.Name(), "12:00:00", canvas);
    EXPECT_EQ(canvas.At(500, 300), kMarkerColor);
    EXPECT_NE(canvas.At(100, 900), kMarkerColor);
    int red = 0;
    for (int y = 0; y < canvas.Height(); ++y) {
        for (int x = 0; x < canvas.Width(); ++x) red += canvas.At(x, y) == kMarkerColor ? 1 : 0;
    }
    EXPECT_GT(red, 900);   // a disc of radius 18 ...
    EXPECT_LT(red, 1200);  // ... and nothing else
}

TEST(PhoneRenderer, RotateCanvasTurnsClockwise) {
    Canvas canvas(4, 2);
    canvas.Set(0, 0, 1);
    canvas.Set(3, 1, 2);
    const Canvas turned = RotateCanvas(canvas, 1);
    ASSERT_EQ(turned.Width(), 2);
    ASSERT_EQ(turned.Height(), 4);
    EXPECT_EQ(turned.At(1, 0), 1u);  // top-left goes to top-right
    EXPECT_EQ(turned.At(0, 3), 2u);  // bottom-right goes to bottom-left
    EXPECT_EQ(RotateCanvas(canvas, 2).At(3, 1), 1u);
}

}  // namespace
}  // namespace cloudsim
