// A "Lumet" device window end to end: the in-house SDK plays a phone of the
// local cloud into the view's picture, and the view's input reaches the phone.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QScreen>
#include <QTest>

#include "device/lumet_channel_object.h"
#include "device/yun_device_label.h"
#include "device_cloud_fixture.h"

namespace {

class LumetViewTest : public apptest::DeviceCloudTest {
protected:
    QJsonObject Request(const QString& winId) {
        return apptest::Obj({{"winId", winId}, {"userId", "demo-user"}, {"deviceId", kInstance},
                             {"channelAppId", "demo-access-key"}, {"channelSecret", "demo-secret-key"},
                             {"channel", "Lumet"}, {"quality", 1}, {"orientation", 0}});
    }
    static app::LumetChannelObject* Lumet(app::KovraYunBaseView* view) {
        return dynamic_cast<app::LumetChannelObject*>(view->Channel().get());
    }
    // Distinct colours on the screen where the picture is.
    static int ScreenColours(QWidget* label) {
        const QPoint at = label->mapToGlobal(QPoint(0, 0));
        const QImage image = QGuiApplication::primaryScreen()
                                 ->grabWindow(0, at.x(), at.y(), label->width(), label->height())
                                 .toImage()
                                 .scaled(54, 96);
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) colours.insert(image.pixel(x, y));
        return colours.size();
    }
};

TEST_F(LumetViewTest, PlaysThePhoneAndForwardsInput) {
    app::KovraYunBaseView* view = Open(Request("lumet-1"));
    ASSERT_NE(view, nullptr);
    ASSERT_NE(Lumet(view), nullptr);
    ASSERT_TRUE(apptest::WaitUntil([&] { return Lumet(view)->Shown(); }, 20000)) << "no first frame";
    QWidget* label = view->Ui().yunViewLabel;
    EXPECT_TRUE(apptest::WaitUntil([&] { return ScreenColours(label) > 8; }, 10000)) << "no picture on screen";

    QTest::mousePress(label, Qt::LeftButton, Qt::NoModifier, QPoint(216, 384));
    QTest::mouseRelease(label, Qt::LeftButton, Qt::NoModifier, QPoint(216, 384));
    EXPECT_TRUE(WaitReceived("touch", [](const Json::Value& f) {
        return f["action"].asInt() == 0 && f["points"][0][0].asInt() == 360 && f["points"][0][1].asInt() == 640;
    }));
    EXPECT_TRUE(WaitReceived("touch", [](const Json::Value& f) { return f["action"].asInt() == 1; }));

    QKeyEvent a(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, "a");
    QApplication::sendEvent(view, &a);
    EXPECT_TRUE(WaitReceived("key", [](const Json::Value& f) { return f["key"].asInt() == 30 && f["down"].asBool(); }));
    EXPECT_TRUE(WaitReceived("key", [](const Json::Value& f) { return f["key"].asInt() == 30 && !f["down"].asBool(); }));
    QTest::mousePress(view->Ui().backButton, Qt::LeftButton);
    QTest::mousePress(view->Ui().homeButton, Qt::LeftButton);
    QTest::mousePress(view->Ui().menuButton, Qt::LeftButton);
    QTest::mousePress(view->Ui().volumnAddButton, Qt::LeftButton);
    QTest::mousePress(view->Ui().volumnReduceButton, Qt::LeftButton);
    for (int code : {158, 172, 139, 115, 114}) {
        EXPECT_TRUE(WaitReceived("key", [code](const Json::Value& f) { return f["key"].asInt() == code; })) << code;
    }

    QApplication::clipboard()->clear();
    QKeyEvent ctrl(QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier);
    QKeyEvent v(QEvent::KeyRelease, Qt::Key_V, Qt::ControlModifier, "\x16");
    QKeyEvent ctrlUp(QEvent::KeyRelease, Qt::Key_Control, Qt::NoModifier);
    QApplication::sendEvent(view, &ctrl);
    QApplication::sendEvent(view, &v);
    QApplication::sendEvent(view, &ctrlUp);
    QApplication::clipboard()->setText("paste me");
    QApplication::sendEvent(view, &ctrl);
    QApplication::sendEvent(view, &v);
    QApplication::sendEvent(view, &ctrlUp);
    EXPECT_TRUE(WaitReceived("copyString", [](const Json::Value& f) { return f["text"].asString() == "paste me"; }));
    view->Ui().channelLineEdit->setText("中文");
    EXPECT_TRUE(WaitReceived("copyString", [](const Json::Value& f) { return f["text"].asString() == "中文"; }));
    EXPECT_EQ(CountReceived("copyString"), 2);  // the empty clipboard sent nothing
}

TEST_F(LumetViewTest, TypedTextArrivesOncePerCharacter) {
    app::KovraYunBaseView* view = Open(Request("lumet-4"));
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(apptest::WaitUntil([&] { return Lumet(view)->Shown(); }, 20000));
    ExpectTypedTextArrivesOnce(view);
}

TEST_F(LumetViewTest, ClosingEndsTheStreamAndTellsThePage) {
    QPointer<app::KovraYunBaseView> view = Open(Request("lumet-2"));
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(apptest::WaitUntil([&] { return Lumet(view)->Shown(); }, 20000));
    page->Send(apptest::Obj({{"action", "closeYunDeviceDialog"}, {"winId", "lumet-2"}}));
    QJsonObject data;
    ASSERT_TRUE(PageGets("closeWin", data));
    EXPECT_EQ(data.value("winId").toString(), "lumet-2");
    EXPECT_TRUE(apptest::WaitUntil([&] { return view.isNull(); }, 3000));
    EXPECT_TRUE(apptest::WaitUntil([&] {
        cloudsim::SessionInfo info;
        return cloud->LatestSession(kInstance, info) && info.connections == 0;
    }, 10000));
}

TEST_F(LumetViewTest, ResizingMovesThePictureAndRotatingTwiceRestores) {
    app::KovraYunBaseView* view = Open(Request("lumet-3"));
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(apptest::WaitUntil([&] { return Lumet(view)->Shown(); }, 20000));
    view->SetResizeEdge(app::ResizeEdge::LeftRight);
    view->resize(400, 808);
    EXPECT_EQ(view->size(), QSize(400, 680));
    QTest::mousePress(view->Ui().rotateButton, Qt::LeftButton);
    EXPECT_EQ(view->size(), QSize(680, 400));
    QTest::mousePress(view->Ui().rotateButton, Qt::LeftButton);
    EXPECT_EQ(view->size(), QSize(400, 680));
    // The picture follows: a click in the middle is still the phone's middle.
    QWidget* label = view->Ui().yunViewLabel;
    QTest::mousePress(label, Qt::LeftButton, Qt::NoModifier, QPoint(180, 320));
    EXPECT_TRUE(WaitReceived("touch", [](const Json::Value& f) {
        return f["action"].asInt() == 0 && f["points"][0][0].asInt() == 360 && f["points"][0][1].asInt() == 640;
    }));
}

}  // namespace
