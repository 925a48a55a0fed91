// A "Lumet" group window end to end: the group SDK plays the main phone of
// the local cloud's demo group into the view, and the view's input reaches
// the main phone over its stream and every follower through the nodes, once
// each; pausing takes the followers out, resuming puts them back.
#include <gtest/gtest.h>

#include <QApplication>
#include <QJsonArray>
#include <QTest>

#include "device/lumet_muti_channel_object.h"
#include "device/stats_overlay_control.h"
#include "device/yun_device_label.h"
#include "group_window_fixture.h"

namespace {

const std::string kMain = "CP-GROUP-0001";
const std::vector<std::string> kFollowers = {"CP-GROUP-0002", "CP-GROUP-0003"};  // one on each node

class LumetGroupViewTest : public apptest::GroupWindowTest {
protected:
    QJsonArray Group() {
        return QJsonArray{LumetDevice(QString::fromStdString(kMain), kSyncId),
                          LumetDevice(QString::fromStdString(kFollowers[0])),
                          LumetDevice(QString::fromStdString(kFollowers[1]))};
    }
    static app::LumetMutiChannelObject* Lumet(app::KovraYunBaseView* view) {
        return dynamic_cast<app::LumetMutiChannelObject*>(view->Channel().get());
    }
    // Opens the group and waits until the main phone shows and the nodes control both followers.
    app::KovraYunBaseView* Play(const QJsonArray& sub = QJsonArray()) {
        app::KovraYunBaseView* view = OpenGroup(Group(), sub);
        EXPECT_NE(view, nullptr);
        if (!view || !Lumet(view)) return nullptr;
        EXPECT_TRUE(apptest::WaitUntil([&] { return Lumet(view)->Shown(); }, 30000)) << "no first frame";
        EXPECT_TRUE(WaitNodeStates(kFollowers, cloudsim::kNodeInstanceControlled)) << "followers not controlled";
        return view;
    }
    // Waits until the phone got a touch-down at the point the main phone was sent.
    bool WaitTouchAt(const std::string& phone, bool viaNode, QPoint sent) {
        return apptest::WaitUntil([&] {
            for (const auto& m : Touches(phone, 0, viaNode))
                if (SentPoint(m) == sent) return true;
            return false;
        }, 20000);
    }
};

TEST_F(LumetGroupViewTest, MainPhonePlaysAndInputReachesEveryPhoneOnce) {
    app::KovraYunBaseView* view = Play();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(Lumet(view)->Devices().size(), 3);
    EXPECT_TRUE(apptest::WaitUntil([&] { return ScreenColours(view->Ui().yunViewLabel) > 8; }, 10000))
        << "no picture on screen";
    // The design's window, with the pause button shown.
    EXPECT_EQ(view->size(), QSize(472, 808));
    EXPECT_TRUE(view->Ui().stopMutiBUtton->isVisible());
    EXPECT_EQ(view->Ui().stopMutiBUtton->text(), QStringLiteral("暂停同步"));

    cloud->ClearRecords();
    Click(view, QPoint(216, 384));  // the middle of the picture: (360, 640) on the main phone
    QKeyEvent a(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, "a");
    QApplication::sendEvent(view, &a);
    Press(view->Ui().backButton);
    const QPoint middle(360, 640);
    ASSERT_TRUE(WaitTouchAt(kMain, false, middle));
    for (const std::string& f : kFollowers) ASSERT_TRUE(WaitTouchAt(f, true, middle)) << f;
    for (const std::string& phone : {kMain, kFollowers[0], kFollowers[1]}) {
        const bool viaNode = phone != kMain;
        ASSERT_TRUE(apptest::WaitUntil([&] { return Keys(phone, 158, false, viaNode) == 1; }, 20000)) << phone;
        EXPECT_EQ(Touches(phone, 0, viaNode).size(), 1u) << phone;
        EXPECT_EQ(Touches(phone, 1, viaNode).size(), 1u) << phone;
        EXPECT_EQ(Keys(phone, 30, true, viaNode), 1) << phone;
        EXPECT_EQ(Keys(phone, 30, false, viaNode), 1) << phone;
        EXPECT_EQ(Keys(phone, 158, true, viaNode), 1) << phone;
        // Nothing twice: the main phone gets nothing from the nodes, followers nothing of a stream.
        EXPECT_TRUE(Inputs(phone, "touch", !viaNode).empty()) << phone;
        EXPECT_TRUE(Inputs(phone, "key", !viaNode).empty()) << phone;
    }
}

TEST_F(LumetGroupViewTest, PauseTakesTheFollowersOutAndResumePutsThemBack) {
    app::KovraYunBaseView* view = Play();
    ASSERT_NE(view, nullptr);
    page->Flush();

    Press(view->Ui().stopMutiBUtton);
    QJsonObject data;
    ASSERT_TRUE(PageGets("ISPAUSESYNC", data));
    EXPECT_EQ(data.value("status"), QJsonValue(false));
    EXPECT_EQ(view->Ui().stopMutiBUtton->text(), QStringLiteral("开始同步"));
    EXPECT_FALSE(Lumet(view)->SyncRunning());
    ASSERT_TRUE(WaitNodeStates(kFollowers, cloudsim::kNodeInstanceReduced));
    Click(view, QPoint(108, 192));  // (180, 320): the main phone only
    ASSERT_TRUE(WaitTouchAt(kMain, false, QPoint(180, 320)));

    Press(view->Ui().stopMutiBUtton);
    ASSERT_TRUE(PageGets("ISPAUSESYNC", data));
    EXPECT_EQ(data.value("status"), QJsonValue(true));
    EXPECT_EQ(view->Ui().stopMutiBUtton->text(), QStringLiteral("暂停同步"));
    ASSERT_TRUE(WaitNodeStates(kFollowers, cloudsim::kNodeInstanceControlled));
    Click(view, QPoint(324, 576));  // (540, 960): every phone again
    for (const std::string& f : kFollowers) {
        ASSERT_TRUE(WaitTouchAt(f, true, QPoint(540, 960))) << f;
        for (const auto& m : Touches(f, 0, true)) EXPECT_NE(SentPoint(m), QPoint(180, 320)) << f << " got it paused";
    }
}

TEST_F(LumetGroupViewTest, InstallAndScreenshotAskForAllDevices) {
    app::KovraYunBaseView* view = OpenGroup(Group());
    ASSERT_NE(view, nullptr);
    page->Flush();
    QJsonObject data;
    Press(view->Ui().installButton);
    ASSERT_TRUE(PageGets("INSTALL_ALL_DEVICE", data));
    EXPECT_FALSE(data.contains("instanceCode"));
    Press(view->Ui().cutButton);
    ASSERT_TRUE(PageGets("SCREENSHOT_ALL_DEVICE", data));
    EXPECT_FALSE(data.contains("instanceCode"));
}

TEST_F(LumetGroupViewTest, SubChannelsGetTheInputRepeated) {
    const std::vector<std::string> sub = {"CP-GROUP-0004", "CP-GROUP-0005"};
    QJsonArray subList{LumetDevice(QString::fromStdString(sub[0])), LumetDevice(QString::fromStdString(sub[1]))};
    app::KovraYunBaseView* view = Play(QJsonArray{apptest::Obj({{"channel", "Lumet"}, {"deviceList", subList}})});
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(view->Channel()->subChannels.size(), 1);
    ASSERT_TRUE(WaitNodeStates({sub[1]}, cloudsim::kNodeInstanceControlled));
    // The sub-group's main phone plays its own stream (not shown); wait until it takes touches.
    auto* subChannel = dynamic_cast<app::LumetMutiChannelObject*>(view->Channel()->subChannels[0].get());
    ASSERT_NE(subChannel, nullptr);
    ASSERT_TRUE(apptest::WaitUntil([&] { return subChannel->Started(); }, 30000));
    cloud->ClearRecords();
    QKeyEvent b(QEvent::KeyRelease, Qt::Key_B, Qt::NoModifier, "b");
    QApplication::sendEvent(view, &b);
    EXPECT_TRUE(apptest::WaitUntil([&] { return Keys(kMain, 48, true, false) == 1; }, 20000));
    EXPECT_TRUE(apptest::WaitUntil([&] { return Keys(sub[0], 48, true, false) == 1; }, 20000)) << "sub main";
    EXPECT_TRUE(apptest::WaitUntil([&] { return Keys(sub[1], 48, true, true) == 1; }, 20000)) << "sub follower";
}

TEST_F(LumetGroupViewTest, ClosedByThePageQuietlyClosedByTheUserWithCloseWin) {
    QPointer<app::KovraYunBaseView> view = Play();
    ASSERT_FALSE(view.isNull());
    page->Flush();
    page->Send(apptest::Obj({{"action", "closeSyncYunDeviceDialog"}}));
    EXPECT_TRUE(apptest::WaitUntil([&] { return view.isNull(); }, 5000));
    EXPECT_EQ(app::YunStateManager::Instance().Window(kSyncId), nullptr);
    for (const QJsonObject& m : page->Flush()) {
        EXPECT_NE(m.value("data").toObject().value("type").toString(), "closeWin");
    }
    // Every channel stopped: the main stream and the node links are gone.
    EXPECT_TRUE(apptest::WaitUntil([&] {
        cloudsim::SessionInfo info;
        return cloud->LatestSession(kMain, info) && info.connections == 0 && OpenNodeConnections() == 0;
    }, 15000));

    view = Play();
    ASSERT_FALSE(view.isNull());
    Press(view->Ui().closeButton);
    QJsonObject data;
    ASSERT_TRUE(PageGets("closeWin", data));
    EXPECT_EQ(data.value("winId").toString(), kSyncId);
    EXPECT_TRUE(apptest::WaitUntil([&] { return view.isNull(); }, 5000));
    EXPECT_TRUE(apptest::WaitUntil([&] {
        cloudsim::SessionInfo info;
        return cloud->LatestSession(kMain, info) && info.connections == 0 && OpenNodeConnections() == 0;
    }, 15000));
}

}  // namespace

namespace {

// The statistics overlay of a group window adds the group to the main phone's figures.
TEST_F(LumetGroupViewTest, StatisticsOverlayShowsTheGroup) {
    app::KovraYunBaseView* view = Play();
    ASSERT_NE(view, nullptr);
    app::StatsOverlayControl* stats = view->Stats();
    stats->SetShown(true);
    const auto text = [&] { return stats->Overlay()->Lines().join('\n'); };
    EXPECT_TRUE(apptest::WaitUntil([&] {
        return text().contains("group 2 controlled, 0 paused, 0 refused") && text().contains("nodes 2/2 connected") &&
               text().contains("fps in");
    }, 20000)) << text().toStdString();
    Press(view->Ui().stopMutiBUtton);
    EXPECT_TRUE(apptest::WaitUntil([&] { return text().contains("group 0 controlled, 2 paused"); }, 10000))
        << text().toStdString();
    stats->SetShown(false);
}

}  // namespace
