// A "Lumet" device window lends the phone the camera and microphone chosen in
// configuration.ini when the phone switches them on, says so in its title
// bar, and takes them back when the phone switches off or the window closes.
#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>

#include "device/capture_choice.h"
#include "device/lumet_channel_object.h"
#include "device/yun_device_label.h"
#include "device_cloud_fixture.h"
#include "context/app_context.h"

namespace {

class LumetCaptureTest : public apptest::DeviceCloudTest {
protected:
    void SetUp() override {
        apptest::DeviceCloudTest::SetUp();
        app::AppContext::Settings()->setValue("capture/camera", "synthetic");
        app::AppContext::Settings()->setValue("capture/microphone", "off");
    }
    void TearDown() override {
        app::AppContext::Settings()->remove("capture");
        apptest::DeviceCloudTest::TearDown();
    }
    static app::LumetChannelObject* Lumet(app::KovraYunBaseView* view) {
        return dynamic_cast<app::LumetChannelObject*>(view->Channel().get());
    }
    // A tap on the picture at a point of the 720 x 1280 phone (the label is 432 x 768).
    static void TapPhone(app::KovraYunBaseView* view, int x, int y) {
        QWidget* label = view->Ui().yunViewLabel;
        const QPoint at(x * label->width() / 720, y * label->height() / 1280);
        QTest::mousePress(label, Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseRelease(label, Qt::LeftButton, Qt::NoModifier, at);
    }
    cloudsim::UplinkView Uplink() {
        cloudsim::UplinkView view;
        cloud->Uplink(kInstance, view);
        return view;
    }
    static QString InUseText(app::KovraYunBaseView* view) {
        auto* label = view->findChild<QLabel*>("captureInUseLabel");
        return label && label->isVisible() ? label->text() : QString();
    }
};

TEST_F(LumetCaptureTest, TheConfiguredCameraIsLentAndTheTitleBarSaysSo) {
    app::KovraYunBaseView* view = Open(apptest::Obj({{"winId", "capture-1"}, {"userId", "demo-user"},
                                                     {"deviceId", kInstance}, {"channelAppId", "demo-access-key"},
                                                     {"channelSecret", "demo-secret-key"}, {"channel", "Lumet"},
                                                     {"quality", 1}, {"orientation", 0}}));
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(apptest::WaitUntil([&] { return Lumet(view)->Shown(); }, 20000)) << "no first frame";
    EXPECT_TRUE(InUseText(view).isEmpty());

    TapPhone(view, 270, 336);  // the Camera app
    ASSERT_TRUE(apptest::WaitUntil([&] { return Uplink().cameraFrames >= 3; }, 30000)) << "no camera pictures";
    EXPECT_TRUE(Lumet(view)->CameraInUse());
    EXPECT_EQ(InUseText(view), QStringLiteral("● 摄像头使用中"));
    EXPECT_EQ(Uplink().pictureWidth, 360);

    QTest::mousePress(view->Ui().backButton, Qt::LeftButton);  // the phone leaves the app
    ASSERT_TRUE(apptest::WaitUntil([&] { return !Lumet(view)->CameraInUse(); }, 10000));
    EXPECT_TRUE(InUseText(view).isEmpty());

    // The microphone is "off" in the configuration: the phone asks and is refused.
    TapPhone(view, 450, 336);  // the Mic app
    ASSERT_TRUE(apptest::WaitUntil([&] {
        cloudsim::PhoneView phone;
        return cloud->Phone(kInstance, phone) && phone.micOn;
    }, 10000));
    ASSERT_TRUE(apptest::WaitUntil([&] { return Lumet(view)->Refusals() == 1; }, 10000));
    EXPECT_FALSE(Lumet(view)->MicrophoneInUse());
    EXPECT_EQ(Uplink().micParams, 0);
    EXPECT_TRUE(InUseText(view).isEmpty());
}

TEST_F(LumetCaptureTest, ClosingTheWindowTakesTheCameraBack) {
    app::KovraYunBaseView* view = Open(apptest::Obj({{"winId", "capture-2"}, {"userId", "demo-user"},
                                                     {"deviceId", kInstance}, {"channelAppId", "demo-access-key"},
                                                     {"channelSecret", "demo-secret-key"}, {"channel", "Lumet"},
                                                     {"quality", 1}, {"orientation", 0}}));
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(apptest::WaitUntil([&] { return Lumet(view)->Shown(); }, 20000));
    TapPhone(view, 270, 336);
    ASSERT_TRUE(apptest::WaitUntil([&] { return Uplink().cameraFrames >= 3; }, 30000));
    view->close();
    EXPECT_FALSE(Lumet(view)->CameraInUse());
    EXPECT_TRUE(InUseText(view).isEmpty());
    const int packets = Uplink().cameraPackets;
    EXPECT_TRUE(apptest::WaitUntil([&] {
        cloudsim::SessionInfo info;
        return cloud->LatestSession(kInstance, info) && info.connections == 0;
    }, 10000));
    EXPECT_EQ(Uplink().cameraPackets, packets);
}

TEST(CaptureChoice, ConfiguredValuesAndProducers) {
    app::AppContext::Settings()->setValue("capture/camera", "synthetic");
    app::AppContext::Settings()->setValue("capture/microphone", " off ");
    const app::CaptureChoice choice = app::ReadCaptureChoice();
    EXPECT_EQ(choice.camera, "synthetic");
    EXPECT_EQ(choice.microphone, "off");
    EXPECT_NE(app::MakeCameraProducer("synthetic"), nullptr);
    EXPECT_EQ(app::MakeMicrophoneProducer("off"), nullptr);
    EXPECT_NE(app::MakeMicrophoneProducer("synthetic"), nullptr);
    // A device that is not there is made, and fails with a clear error once the phone asks.
    auto missing = app::MakeCameraProducer("/dev/video-missing");
    ASSERT_NE(missing, nullptr);
    EXPECT_NE(missing->GetCaptureType(), capture::CAPTURE_TYPE_NONE);
    // Unset: a default that fits this machine.
    app::AppContext::Settings()->remove("capture");
    const app::CaptureChoice defaults = app::ReadCaptureChoice();
    EXPECT_TRUE(defaults.camera == "off" || defaults.camera == "first");
    EXPECT_TRUE(defaults.microphone == "off" || defaults.microphone == "default");
}

}  // namespace
