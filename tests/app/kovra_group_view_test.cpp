// A "Kovra" group window end to end: the vendor SDK stand-in plays the main
// phone into the view and every other phone as a screen cast, and copies the
// input to them by the vendor back end's rules.
#include <gtest/gtest.h>

#include <QApplication>
#include <QJsonArray>
#include <QTest>

#include <atomic>

#include "device/follower_source.h"
#include "device/kovra_muti_channel_object.h"
#include "device/yun_device_label.h"
#include "group_window_fixture.h"
#include "picture_colours.h"
#include "plat_client/plat_client.h"

namespace {

const std::string kMain = "CP-DEMO-0001";
const std::vector<std::string> kOthers = {"CP-DEMO-0002", "CP-DEMO-0003"};

// Opens sessions the way the platform hands them out.
class SessionOpener : public plat_client::IPlatClientNotic {
public:
    void OnPhoneConnectRsp(int result, int, std::shared_ptr<plat_client::PhoneConnectRsp>, const char*,
                           void*) override {
        result == 0 ? ++succeeded : ++failed;
    }
    std::atomic<int> succeeded{0};
    std::atomic<int> failed{0};
};

class KovraGroupViewTest : public apptest::GroupWindowTest {
protected:
    void SetUp() override {
        GroupWindowTest::SetUp();
        auto notic = std::make_shared<SessionOpener>();
        auto client = plat_client::IPlatClient::Create();
        ASSERT_EQ(client->Init(cloud->HttpsUrl().c_str(), "demo-user", "demo-access-key", "demo-secret-key", "test",
                               notic, 5000, 5000),
                  0);
        for (const std::string& phone : Phones()) {
            ASSERT_EQ(client->GetPhoneConnect(phone.c_str(), "", "phone-connect", nullptr), 0);
        }
        apptest::WaitUntil([&] { return notic->succeeded + notic->failed == 3; }, 15000);
        client->UnInit();
        ASSERT_EQ(notic->succeeded.load(), 3);
    }
    static std::vector<std::string> Phones() { return {kMain, kOthers[0], kOthers[1]}; }

    QJsonObject Device(const std::string& phone, const QString& winId = QString()) {
        cloudsim::SessionInfo session;
        EXPECT_TRUE(cloud->LatestSession(phone, session));
        return apptest::Obj({{"winId", winId.isEmpty() ? QString::fromStdString(phone) : winId},
                             {"userId", "1001"}, {"deviceId", QString::fromStdString(phone)},
                             {"channelAppId", QString::fromStdString(session.sessionId)},
                             {"channelSecret", QString("127.0.0.1:%1").arg(session.wsPort)},
                             {"channel", "Kovra"}, {"quality", 1}, {"orientation", 0}});
    }
    QJsonArray Group() { return QJsonArray{Device(kMain, kSyncId), Device(kOthers[0]), Device(kOthers[1])}; }
    static app::KovraMutiChannelObject* Kovra(app::KovraYunBaseView* view) {
        return dynamic_cast<app::KovraMutiChannelObject*>(view->Channel().get());
    }
    bool Playing(const std::string& phone) {
        cloudsim::SessionInfo info;
        return cloud->LatestSession(phone, info) && info.playing > 0;
    }
    int Received(const std::string& phone, const std::string& kind, const std::function<bool(const Json::Value&)>& match) {
        int n = 0;
        for (const cloudsim::ReceivedMessage& m : cloud->Received(phone)) n += m.kind == kind && match(m.fields);
        return n;
    }
    bool WaitReceived(const std::string& phone, const std::string& kind,
                      const std::function<bool(const Json::Value&)>& match) {
        return apptest::WaitUntil([&] { return Received(phone, kind, match) > 0; }, 15000);
    }
    static std::function<bool(const Json::Value&)> TouchDownAt(int x, int y) {
        return [x, y](const Json::Value& f) {
            return f["action"].asInt() == 0 && f["points"][0][0].asInt() == x && f["points"][0][1].asInt() == y;
        };
    }
    static std::function<bool(const Json::Value&)> KeyDown(int code) {
        return [code](const Json::Value& f) { return f["key"].asInt() == code && f["down"].asBool(); };
    }
};

TEST_F(KovraGroupViewTest, PlaysTheMainPhoneCastsTheOthersAndCopiesInputByItsRules) {
    app::KovraYunBaseView* view = OpenGroup(Group());
    ASSERT_NE(view, nullptr);
    ASSERT_NE(Kovra(view), nullptr);
    EXPECT_EQ(Kovra(view)->PlayerCount(), 3);
    QLabel* label = view->Ui().yunViewLabel;
    ASSERT_TRUE(apptest::WaitUntil([&] { return apptest::PixmapColours(label) > 8; }, 20000)) << "no picture";
    for (const std::string& phone : Phones()) ASSERT_TRUE(apptest::WaitUntil([&] { return Playing(phone); }, 20000));
    // The main phone plays the first level; the others are screen casts at the cast rate.
    EXPECT_TRUE(WaitReceived(kMain, "setVideoParam", [](const Json::Value& f) { return f["bitrate"].asInt() == 4096; }));
    for (const std::string& other : kOthers) {
        EXPECT_TRUE(WaitReceived(other, "setVideoParam", [](const Json::Value& f) {
            return f["bitrate"].asInt() == 512 && f["fps"].asInt() == 10;
        })) << other;
        // Each cast draws into its own display.
        EXPECT_TRUE(apptest::WaitUntil([&] {
            const QImage frame = Kovra(view)->Frame(QString::fromStdString(other));
            return !frame.isNull() && apptest::ImageColours(frame) > 8;
        }, 20000)) << other;
    }

    // The follower panel's view of them: their own pictures, copying the main phone.
    const QList<app::FollowerInfo> followers = Kovra(view)->Followers();
    ASSERT_EQ(followers.size(), 2);
    for (const app::FollowerInfo& f : followers) {
        EXPECT_GT(apptest::ImageColours(f.picture), 8) << f.deviceId.toStdString();
        EXPECT_EQ(f.state, app::FollowerState::Controlling) << f.deviceId.toStdString();
    }

    cloud->ClearRecords();
    Click(view, QPoint(216, 384));
    QKeyEvent a(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, "a");
    QApplication::sendEvent(view, &a);
    Press(view->Ui().backButton);
    Press(view->Ui().volumnAddButton);
    view->Ui().comboBox->setCurrentIndex(2);
    // Touches, keys and control keys reach every phone; volume and quality the main phone only.
    EXPECT_TRUE(WaitReceived(kMain, "setVideoParam", [](const Json::Value& f) { return f["bitrate"].asInt() == 1024; }));
    EXPECT_TRUE(WaitReceived(kMain, "key", KeyDown(115)));
    for (const std::string& phone : Phones()) {
        EXPECT_TRUE(WaitReceived(phone, "touch", TouchDownAt(360, 640))) << phone;
        EXPECT_TRUE(WaitReceived(phone, "key", KeyDown(30))) << phone;
        EXPECT_TRUE(WaitReceived(phone, "key", KeyDown(158))) << phone;
    }
    for (const std::string& other : kOthers) {
        EXPECT_EQ(Received(other, "key", KeyDown(115)), 0) << other;
        EXPECT_EQ(Received(other, "setVideoParam", [](const Json::Value&) { return true; }), 0) << other;
    }

    // Paused: touches and control keys reach the main phone only, keys still every phone.
    page->Flush();
    Press(view->Ui().stopMutiBUtton);
    QJsonObject data;
    ASSERT_TRUE(PageGets("ISPAUSESYNC", data));
    EXPECT_EQ(data.value("status"), QJsonValue(false));
    EXPECT_EQ(Kovra(view)->Followers().first().state, app::FollowerState::Paused);
    cloud->ClearRecords();
    Click(view, QPoint(108, 192));
    Press(view->Ui().homeButton);
    QKeyEvent b(QEvent::KeyRelease, Qt::Key_B, Qt::NoModifier, "b");
    QApplication::sendEvent(view, &b);
    for (const std::string& other : kOthers) EXPECT_TRUE(WaitReceived(other, "key", KeyDown(48))) << other;
    EXPECT_TRUE(WaitReceived(kMain, "touch", TouchDownAt(180, 320)));
    EXPECT_TRUE(WaitReceived(kMain, "key", KeyDown(172)));
    Press(view->Ui().stopMutiBUtton);
    ASSERT_TRUE(PageGets("ISPAUSESYNC", data));
    EXPECT_EQ(data.value("status"), QJsonValue(true));
    Click(view, QPoint(324, 576));
    for (const std::string& other : kOthers) {
        // Input on one stream arrives in order: the click after resuming comes after anything paused.
        EXPECT_TRUE(WaitReceived(other, "touch", TouchDownAt(540, 960))) << other;
        EXPECT_EQ(Received(other, "touch", TouchDownAt(180, 320)), 0) << other;
        EXPECT_EQ(Received(other, "key", KeyDown(172)), 0) << other;
    }
}

TEST_F(KovraGroupViewTest, ClosingStopsEveryPlayer) {
    QPointer<app::KovraYunBaseView> view = OpenGroup(Group());
    ASSERT_FALSE(view.isNull());
    for (const std::string& phone : Phones()) ASSERT_TRUE(apptest::WaitUntil([&] { return Playing(phone); }, 20000));
    Press(view->Ui().closeButton);
    QJsonObject data;
    ASSERT_TRUE(PageGets("closeWin", data));
    EXPECT_EQ(data.value("winId").toString(), kSyncId);
    EXPECT_TRUE(apptest::WaitUntil([&] { return view.isNull(); }, 5000));
    for (const std::string& phone : Phones()) {
        EXPECT_TRUE(apptest::WaitUntil([&] {
            cloudsim::SessionInfo info;
            return cloud->LatestSession(phone, info) && info.connections == 0;
        }, 10000)) << phone;
    }
}

// A click on a follower in the panel makes it the main phone: it plays at
// the window's level and is painted into the picture, the old main phone
// becomes a cast.
TEST_F(KovraGroupViewTest, MakingAFollowerTheMainPhone) {
    app::KovraYunBaseView* view = OpenGroup(Group());
    ASSERT_NE(view, nullptr);
    for (const std::string& phone : Phones()) ASSERT_TRUE(apptest::WaitUntil([&] { return Playing(phone); }, 20000));
    cloud->ClearRecords();
    Kovra(view)->MakeMain(QString::fromStdString(kOthers[0]));
    EXPECT_EQ(Kovra(view)->MainDevice(), QString::fromStdString(kOthers[0]));
    EXPECT_TRUE(WaitReceived(kOthers[0], "setVideoParam", [](const Json::Value& f) { return f["bitrate"].asInt() == 4096; }));
    EXPECT_TRUE(WaitReceived(kMain, "setVideoParam", [](const Json::Value& f) { return f["bitrate"].asInt() == 512; }));
    Press(view->Ui().volumnAddButton);  // the main phone's alone
    EXPECT_TRUE(WaitReceived(kOthers[0], "key", KeyDown(115)));
    const QList<app::FollowerInfo> followers = Kovra(view)->Followers();
    ASSERT_EQ(followers.size(), 2);
    EXPECT_EQ(followers[0].deviceId, QString::fromStdString(kMain));
    EXPECT_EQ(Received(kMain, "key", KeyDown(115)), 0);
}

}  // namespace

namespace {

// The view turns with the main phone, whichever phone that is: a follower's
// turn changes nothing until it becomes the main phone, and the old main
// phone's turns no longer count.
TEST_F(KovraGroupViewTest, TheViewFollowsTheMainPhonesOrientation) {
    app::KovraYunBaseView* view = OpenGroup(Group());
    ASSERT_NE(view, nullptr);
    for (const std::string& phone : Phones()) ASSERT_TRUE(apptest::WaitUntil([&] { return Playing(phone); }, 20000));
    const QSize portrait = view->size();
    ASSERT_GT(portrait.height(), portrait.width());
    const auto turned = [&](bool landscape) {
        return apptest::WaitUntil([&] {
            return view->Channel()->landscape == landscape && (view->width() > view->height()) == landscape;
        }, 20000);
    };

    ASSERT_TRUE(cloud->RotatePhone(kMain, 1));
    EXPECT_TRUE(turned(true)) << "the main phone turned";
    ASSERT_TRUE(cloud->RotatePhone(kMain, 0));
    EXPECT_TRUE(turned(false));

    // A follower turns: reported on its stream, the picture stays as it is.
    ASSERT_TRUE(cloud->RotatePhone(kOthers[0], 1));
    const QString other = QString::fromStdString(kOthers[0]);
    ASSERT_TRUE(apptest::WaitUntil([&] { return Kovra(view)->Rotation(other) == 1; }, 20000));
    EXPECT_FALSE(view->Channel()->landscape);
    EXPECT_GT(view->height(), view->width());
    Kovra(view)->MakeMain(other);
    EXPECT_TRUE(turned(true)) << "the new main phone is landscape";
    ASSERT_TRUE(cloud->RotatePhone(kOthers[0], 0));
    EXPECT_TRUE(turned(false)) << "the new main phone turned back";

    // The old main phone, a follower now, no longer turns the picture until it leads again.
    ASSERT_TRUE(cloud->RotatePhone(kMain, 1));
    ASSERT_TRUE(apptest::WaitUntil([&] { return Kovra(view)->Rotation(QString::fromStdString(kMain)) == 1; }, 20000));
    EXPECT_FALSE(view->Channel()->landscape);
    Kovra(view)->MakeMain(QString::fromStdString(kMain));
    EXPECT_TRUE(turned(true));
}

}  // namespace
