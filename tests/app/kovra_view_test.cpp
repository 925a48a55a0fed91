// A "Kovra" device window end to end: the vendor SDK stand-in plays a phone
// of the local cloud into the view, and the view's input reaches the phone.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QTest>

#include <atomic>

#include "device/kovra_channel_object.h"
#include "device/stats_overlay_control.h"
#include "device/yun_device_label.h"
#include "device_cloud_fixture.h"
#include "picture_colours.h"
#include "plat_client/plat_client.h"
#include "x_click.h"

namespace {

// Opens a session for the instance the way the platform hands them out.
class SessionOpener : public plat_client::IPlatClientNotic {
public:
    void OnPhoneConnectRsp(int result, int, std::shared_ptr<plat_client::PhoneConnectRsp>, const char*,
                           void*) override {
        done = result == 0 ? 1 : -1;
    }
    std::atomic<int> done{0};
};

class KovraViewTest : public apptest::DeviceCloudTest {
protected:
    void SetUp() override {
        DeviceCloudTest::SetUp();
        auto notic = std::make_shared<SessionOpener>();
        auto client = plat_client::IPlatClient::Create();
        ASSERT_EQ(client->Init(cloud->HttpsUrl().c_str(), "demo-user", "demo-access-key", "demo-secret-key", "test",
                               notic, 5000, 5000),
                  0);
        ASSERT_EQ(client->GetPhoneConnect(kInstance, "", "phone-connect", nullptr), 0);
        apptest::WaitUntil([&] { return notic->done != 0; }, 10000);
        client->UnInit();
        ASSERT_EQ(notic->done.load(), 1);
        ASSERT_TRUE(cloud->LatestSession(kInstance, session));
    }

    QJsonObject Request(const QString& winId) {
        return apptest::Obj({{"winId", winId}, {"userId", "1001"}, {"deviceId", kInstance},
                             {"channelAppId", QString::fromStdString(session.sessionId)},
                             {"channelSecret", QString("127.0.0.1:%1").arg(session.wsPort)},
                             {"channel", "Kovra"}, {"quality", 1}, {"orientation", 0}});
    }

    static int Colours(const QLabel* label) { return apptest::PixmapColours(label); }

    cloudsim::SessionInfo session;
};

TEST_F(KovraViewTest, PlaysThePhoneAndForwardsInput) {
    app::KovraYunBaseView* view = Open(Request("kovra-1"));
    ASSERT_NE(view, nullptr);
    QLabel* label = view->Ui().yunViewLabel;
    ASSERT_TRUE(apptest::WaitUntil([&] { return Colours(label) > 8; }, 15000)) << "no picture";
    EXPECT_EQ(label->pixmap(Qt::ReturnByValue).size(), label->size());
    EXPECT_TRUE(WaitReceived("auth", [](const Json::Value& f) { return true; }));
    EXPECT_TRUE(WaitReceived("setVideoParam", [](const Json::Value& f) { return f["bitrate"].asInt() == 4096; }));

    // A click: down at phone coordinates, up at (-1, -1).
    QTest::mousePress(label, Qt::LeftButton, Qt::NoModifier, QPoint(216, 384));
    QTest::mouseRelease(label, Qt::LeftButton, Qt::NoModifier, QPoint(216, 384));
    EXPECT_TRUE(WaitReceived("touch", [](const Json::Value& f) {
        return f["action"].asInt() == 0 && f["points"][0][0].asInt() == 360 && f["points"][0][1].asInt() == 640;
    }));
    EXPECT_TRUE(WaitReceived("touch", [](const Json::Value& f) {
        return f["action"].asInt() == 1 && f["points"][0][0].asInt() == -1 && f["points"][0][1].asInt() == -1;
    }));

    // A key, the control keys, volume and quality.
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
    view->Ui().comboBox->setCurrentIndex(2);
    EXPECT_TRUE(WaitReceived("setVideoParam", [](const Json::Value& f) { return f["bitrate"].asInt() == 1024; }));

    // Paste and typed Chinese text go as clipboard text.
    QApplication::clipboard()->setText("剪贴板");
    QKeyEvent ctrl(QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier);
    QApplication::sendEvent(view, &ctrl);
    QKeyEvent v(QEvent::KeyRelease, Qt::Key_V, Qt::ControlModifier, "\x16");
    QApplication::sendEvent(view, &v);
    EXPECT_TRUE(WaitReceived("copyString", [](const Json::Value& f) { return f["text"].asString() == "剪贴板"; }));
    QKeyEvent ctrlUp(QEvent::KeyRelease, Qt::Key_Control, Qt::NoModifier);
    QApplication::sendEvent(view, &ctrlUp);
    view->Ui().channelLineEdit->setText("中文");
    EXPECT_TRUE(WaitReceived("copyString", [](const Json::Value& f) { return f["text"].asString() == "中文"; }));
}

TEST_F(KovraViewTest, ClosingStopsTheStreamAndTellsThePage) {
    QPointer<app::KovraYunBaseView> view = Open(Request("kovra-2"));
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(apptest::WaitUntil([&] {
        cloudsim::SessionInfo info;
        return cloud->LatestSession(kInstance, info) && info.playing > 0;
    }, 30000));
    // A second request for the open window only brings it forward.
    const int sockets = app::YunStateManager::Instance().SocketCount();
    Open(Request("kovra-2"));
    apptest::Pump(200);
    EXPECT_EQ(app::YunStateManager::Instance().SocketCount(), sockets);

    QTest::mousePress(view->Ui().closeButton, Qt::LeftButton);
    QJsonObject data;
    ASSERT_TRUE(PageGets("closeWin", data));
    EXPECT_EQ(data.value("winId").toString(), "kovra-2");
    EXPECT_EQ(app::YunStateManager::Instance().Window("kovra-2"), nullptr);
    EXPECT_TRUE(apptest::WaitUntil([&] { return view.isNull(); }, 3000));  // closed views are destroyed
    EXPECT_TRUE(apptest::WaitUntil([&] {
        cloudsim::SessionInfo info;
        return cloud->LatestSession(kInstance, info) && info.connections == 0;
    }, 30000));
}

TEST_F(KovraViewTest, TypedTextArrivesOncePerCharacter) {
    app::KovraYunBaseView* view = Open(Request("kovra-4"));
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(apptest::WaitUntil([&] { return Colours(view->Ui().yunViewLabel) > 8; }, 15000)) << "no picture";
    ExpectTypedTextArrivesOnce(view);
}

TEST_F(KovraViewTest, AnUnknownChannelOpensNoWindow) {
    QJsonObject request = Request("other-1");
    request.insert("channel", "Other");
    EXPECT_EQ(Open(request, 1500), nullptr);
}

}  // namespace

namespace {

TEST_F(KovraViewTest, ResizeRulesAndRotatingTwiceHoldForKovraWindows) {
    app::KovraYunBaseView* view = Open(Request("kovra-3"));
    ASSERT_NE(view, nullptr);
    view->SetResizeEdge(app::ResizeEdge::LeftRight);
    view->resize(400, 808);
    EXPECT_EQ(view->size(), QSize(400, 680));
    QTest::mousePress(view->Ui().rotateButton, Qt::LeftButton);
    EXPECT_TRUE(view->Channel()->landscape);
    EXPECT_EQ(view->size(), QSize(680, 400));
    // Landscape touches are turned back into the phone's portrait coordinates.
    EXPECT_EQ(app::KovraChannelObject::PhonePoint(0, 0, view->size(), true), QPoint(720, 0));
    QTest::mousePress(view->Ui().rotateButton, Qt::LeftButton);
    EXPECT_FALSE(view->Channel()->landscape);
    EXPECT_EQ(view->size(), QSize(400, 680));
}

// A back end that is not playing: frames written by hand. The picture follows
// new frames, and the last frame follows resizes and turns; an unchanged
// picture is not set again, so painting does not loop.
TEST(KovraPaint, ThePictureFollowsNewFramesSizesAndTurns) {
    app::KovraChannelObject channel("w", "1", "d", "token", "127.0.0.1:1");
    QLabel label;
    label.resize(72, 128);
    channel.paintFrame(&label);
    EXPECT_TRUE(label.pixmap(Qt::ReturnByValue).isNull());  // nothing decoded yet
    // Blue, with a red top-left corner to see the turn.
    std::vector<uint32_t> frame(720 * 1280, 0xFF2060A0u);
    for (int y = 0; y < 320; ++y)
        for (int x = 0; x < 180; ++x) frame[y * 720 + x] = 0xFFFF0000u;
    auto write = [&] { channel.writeFrame(reinterpret_cast<const uint8_t*>(frame.data()), 720, 1280); };
    auto picture = [&] { return label.pixmap(Qt::ReturnByValue); };
    write();
    channel.paintFrame(&label);
    const qint64 first = picture().cacheKey();
    EXPECT_EQ(picture().toImage().pixel(60, 100), 0xFF2060A0u);
    EXPECT_EQ(picture().toImage().pixel(5, 5), 0xFFFF0000u);
    channel.paintFrame(&label);
    EXPECT_EQ(picture().cacheKey(), first);  // nothing new: not set again
    channel.sendTouch(0, 1, 1);              // never started: nothing happens
    write();
    channel.paintFrame(&label);
    EXPECT_NE(picture().cacheKey(), first);

    // No new frame: a resize alone repaints at the new size.
    label.resize(144, 256);
    channel.paintFrame(&label);
    EXPECT_EQ(picture().size(), QSize(144, 256));
    // A turn alone repaints turned: the phone's top-left corner is at the bottom left.
    channel.setLandscape(true);
    label.resize(256, 144);
    channel.paintFrame(&label);
    ASSERT_EQ(picture().size(), QSize(256, 144));
    EXPECT_EQ(picture().toImage().pixel(5, 139), 0xFFFF0000u);
    EXPECT_EQ(picture().toImage().pixel(5, 5), 0xFF2060A0u);
    const qint64 turned = picture().cacheKey();
    channel.paintFrame(&label);
    EXPECT_EQ(picture().cacheKey(), turned);
    // Turning back at the same label size repaints too.
    channel.setLandscape(false);
    channel.paintFrame(&label);
    EXPECT_EQ(picture().toImage().pixel(5, 5), 0xFFFF0000u);
}

}  // namespace

namespace {

// The statistics overlay over the vendor back end's picture: the stand-in's
// figures, and a click through it still lands where it was made.
TEST_F(KovraViewTest, StatisticsOverlayShowsTheVendorFiguresAndLetsClicksThrough) {
    app::KovraYunBaseView* view = Open(Request("kovra-stats"));
    ASSERT_NE(view, nullptr);
    QLabel* label = view->Ui().yunViewLabel;
    ASSERT_TRUE(apptest::WaitUntil([&] { return Colours(label) > 8; }, 15000)) << "no picture";
    app::StatsOverlayControl* stats = view->Stats();
    stats->SetShown(true);
    const auto text = [&] { return stats->Overlay()->Lines().join('\n'); };
    EXPECT_TRUE(apptest::WaitUntil([&] {
        return text().contains("fps in") && text().contains("network delay") && text().contains("decoder software");
    }, 15000)) << text().toStdString();
    EXPECT_TRUE(label->geometry().contains(stats->Overlay()->geometry()));

    const QPoint inPicture = label->mapFrom(view, stats->Overlay()->geometry().topLeft() + QPoint(20, 20));
    ASSERT_TRUE(stats->Overlay()->geometry().contains(label->mapTo(view, inPicture)));
    cloud->ClearRecords();
    ASSERT_TRUE(apptest::ClickAtScreen(label->mapToGlobal(inPicture))) << "xdotool failed";
    const QPoint want = app::KovraChannelObject::PhonePoint(inPicture.x(), inPicture.y(), view->size(), false);
    EXPECT_TRUE(WaitReceived("touch", [&](const Json::Value& f) {
        return f["action"].asInt() == 0 && f["points"][0][0].asInt() == want.x() &&
               f["points"][0][1].asInt() == want.y();
    })) << "no touch at " << want.x() << "," << want.y();
    stats->SetShown(false);
}

}  // namespace
