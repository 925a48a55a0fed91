// A "Lumet" group window end to end: the group SDK plays the main phone of
// the local cloud's demo group into the view, and the view's input reaches
// the main phone over its stream and every follower through the nodes, once
// each; pausing takes the followers out, resuming puts them back.
#include <gtest/gtest.h>

#include <QApplication>
#include <QJsonArray>
#include <QTest>

#include "device/follower_panel.h"
#include "device/lumet_muti_channel_object.h"
#include "device/stats_overlay_control.h"
#include "device/yun_device_label.h"
#include "group_window_fixture.h"
#include "picture_colours.h"

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
    // The panel's tile of a follower, or null.
    static app::FollowerTile* TileOf(app::FollowerPanel* panel, const QString& id) {
        for (app::FollowerTile* t : panel->Tiles())
            if (t->DeviceId() == id) return t;
        return nullptr;
    }
    static bool WaitTileState(app::FollowerPanel* panel, const QString& id, const QString& text) {
        return apptest::WaitUntil([&] {
            app::FollowerTile* tile = TileOf(panel, id);
            return tile && tile->State()->text() == text;
        }, 30000);
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

// The main phone may play before the nodes answer; its picture shows once
// the group has started.
TEST_F(LumetGroupViewTest, TheMainPhoneShowsWhenTheGroupStartsAfterItPlays) {
    cloudsim::NodeFaultScript silent;
    silent.silent = true;
    cloud->SetNodeFaults("*", silent);
    app::KovraYunBaseView* view = OpenGroup(Group());
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(apptest::WaitUntil([&] { return Lumet(view)->MainPlaying(); }, 30000));
    EXPECT_FALSE(Lumet(view)->Started());
    EXPECT_FALSE(Lumet(view)->Shown());
    cloud->ClearFaults();
    for (const char* node : {"gc-node-01", "gc-node-02"}) ASSERT_EQ(cloud->RestartNode(node), 0);
    EXPECT_TRUE(apptest::WaitUntil([&] { return Lumet(view)->Shown(); }, 30000));
    EXPECT_TRUE(apptest::WaitUntil([&] { return ScreenColours(view->Ui().yunViewLabel) > 8; }, 10000));
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

// The follower panel: folded the window is the design's; unfolded it lists
// every follower with its screen and state, and a click on one makes it the
// main phone without taking the keyboard from the picture.
TEST_F(LumetGroupViewTest, FollowerPanelShowsTheFollowersAndSwitchesTheMainPhone) {
    QJsonArray group = Group();
    group.append(LumetDevice("CP-GROUP-0007"));  // refused by the platform for group control
    app::KovraYunBaseView* view = OpenGroup(group);
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(apptest::WaitUntil([&] { return Lumet(view)->Shown() && Lumet(view)->Started(); }, 30000));
    ASSERT_NE(view->Followers(), nullptr);
    EXPECT_TRUE(view->Followers()->isHidden());
    EXPECT_EQ(view->size(), QSize(472, 808));

    QTest::mouseClick(view->FollowersButton(), Qt::LeftButton);
    EXPECT_FALSE(view->Followers()->isHidden());
    EXPECT_EQ(view->size(), QSize(472 + app::FollowerPanel::kWidth, 808));
    EXPECT_EQ(view->Ui().yunViewLabel->size(), QSize(432, 768));  // the picture keeps its size
    app::FollowerPanel* panel = view->Followers();
    auto tileOf = [&](const QString& id) -> app::FollowerTile* {
        for (app::FollowerTile* t : panel->Tiles())
            if (t->DeviceId() == id) return t;
        return nullptr;
    };
    // Each follower's own screen (a picture of many colours) and its state.
    for (const char* id : {"CP-GROUP-0002", "CP-GROUP-0003"}) {
        EXPECT_TRUE(apptest::WaitUntil([&] {
            app::FollowerTile* tile = tileOf(id);
            return tile && apptest::PixmapColours(tile->Picture()) > 8 && tile->State()->text() == "控制中";
        }, 30000)) << id;
    }
    EXPECT_TRUE(apptest::WaitUntil([&] {
        app::FollowerTile* tile = tileOf("CP-GROUP-0007");
        return tile && tile->State()->text() == "已拒绝 (40901)";
    }, 30000));
    EXPECT_EQ(panel->Tiles().size(), 3);

    view->Ui().yunViewLabel->setFocus();
    QTest::mouseClick(tileOf("CP-GROUP-0003"), Qt::LeftButton);
    EXPECT_TRUE(apptest::WaitUntil([&] { return Lumet(view)->MainDevice() == "CP-GROUP-0003"; }, 10000));
    EXPECT_EQ(view->focusWidget(), view->Ui().yunViewLabel);
    // The node of both phones follows, the new main phone plays in the picture
    // at its own size, the old one is a follower now.
    EXPECT_TRUE(apptest::WaitUntil([&] {
        cloudsim::NodeView node;
        return cloud->Node("gc-node-02", node) && node.connections.size() == 1 &&
               node.connections[0].mainInstanceNo == "CP-GROUP-0003";
    }, 20000));
    EXPECT_TRUE(apptest::WaitUntil([&] {
        return Lumet(view)->Shown() && Lumet(view)->StreamSize() == QSize(600, 1024);
    }, 30000));
    EXPECT_TRUE(apptest::WaitUntil([&] { return tileOf(QString::fromStdString(kMain)) != nullptr; }, 10000));
    EXPECT_EQ(tileOf("CP-GROUP-0003"), nullptr);
    cloud->ClearRecords();
    Click(view, QPoint(216, 384));
    EXPECT_TRUE(WaitTouchAt("CP-GROUP-0003", false, QPoint(300, 512)));
    // The new main phone's screen is 600 x 1024: the middle is (300, 512), for the old one too.
    EXPECT_TRUE(WaitTouchAt(kMain, true, QPoint(300, 512)));

    QTest::mouseClick(view->FollowersButton(), Qt::LeftButton);
    EXPECT_TRUE(view->Followers()->isHidden());
    EXPECT_EQ(view->size(), QSize(472, 808));
}

// Followers on a node whose link is down show it, and show their state
// again once the link is back; the other node's followers go on.
TEST_F(LumetGroupViewTest, FollowerPanelShowsFollowersOfADownNode) {
    app::KovraYunBaseView* view = Play();
    ASSERT_NE(view, nullptr);
    QTest::mouseClick(view->FollowersButton(), Qt::LeftButton);
    app::FollowerPanel* panel = view->Followers();
    const QString onNode01 = "CP-GROUP-0002", onNode02 = "CP-GROUP-0003";
    ASSERT_TRUE(WaitTileState(panel, onNode01, "控制中"));
    ASSERT_TRUE(WaitTileState(panel, onNode02, "控制中"));

    cloudsim::NodeFaultScript refuse;
    refuse.refuseUpgrade = true;  // no coming back for now
    cloud->SetNodeFaults("gc-node-01", refuse);
    ASSERT_GE(cloud->CutNodeConnections("gc-node-01", cloudsim::CutKind::kCloseFrame), 1);
    EXPECT_TRUE(WaitTileState(panel, onNode01, "节点断开"));
    EXPECT_EQ(TileOf(panel, onNode02)->State()->text(), "控制中");

    cloud->ClearFaults();
    EXPECT_TRUE(WaitTileState(panel, onNode01, "控制中"));
    EXPECT_EQ(TileOf(panel, onNode02)->State()->text(), "控制中");
}

// A node that refuses control: its followers show the node's code.
TEST_F(LumetGroupViewTest, FollowerPanelShowsANodesRefusal) {
    cloudsim::NodeFaultScript refuse;
    refuse.answerCode = 50017;
    cloud->SetNodeFaults("gc-node-01", refuse);
    app::KovraYunBaseView* view = OpenGroup(Group());
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(apptest::WaitUntil([&] { return Lumet(view)->Started(); }, 30000));
    QTest::mouseClick(view->FollowersButton(), Qt::LeftButton);
    app::FollowerPanel* panel = view->Followers();
    EXPECT_TRUE(WaitTileState(panel, "CP-GROUP-0002", "已拒绝 (50017)"));
    EXPECT_TRUE(WaitTileState(panel, "CP-GROUP-0003", "控制中"));
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
