// Callback registration, data routing and the device-window registry.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QPointer>
#include <QWidget>

#include "bridge/app_handle_callback.h"
#include "bridge/yun_state_manager.h"
#include "main_window_fixture.h"
#include "wait.h"

using apptest::Obj;

namespace {

using RoutingTest = apptest::MainWindowTest;

TEST_F(RoutingTest, DataGoesToTheLastRegisteredSocketOfItsKey) {
    auto first = Client();
    auto second = Client();
    auto device = Client();
    first->Send(Obj({{"action", "handleAppFunctionCallback"}, {"actionId", "cb-1"}}));
    second->Send(Obj({{"action", "handleAppFunctionCallback"}, {"winId", ""}, {"actionId", "cb-2"}}));
    first->Send(Obj({{"action", "handleAppFunctionCallback"}, {"winId", "w7"}, {"actionId", "cb-w7"}}));
    ASSERT_TRUE(first->Flush().isEmpty());
    ASSERT_TRUE(second->Flush().isEmpty());

    // No winId (or an empty one) means "main", which the second socket now holds.
    const QJsonObject data = Obj({{"type", "closeWin"}, {"winId", "w1"}});
    device->Send(Obj({{"action", "sendDataFromYunViewToMainView"}, {"data", data}}));
    QJsonObject got;
    ASSERT_TRUE(second->Next(got));
    EXPECT_EQ(got.value("actionId").toString(), "cb-2");
    EXPECT_EQ(got.value("data").toObject(), data);
    EXPECT_EQ(got.size(), 2);

    device->Send(Obj({{"action", "sendAppData"}, {"winId", "w7"}, {"data", QJsonArray{1, "two"}}}));
    ASSERT_TRUE(first->Next(got));
    EXPECT_EQ(got.value("actionId").toString(), "cb-w7");
    EXPECT_EQ(got.value("data").toArray(), (QJsonArray{1, "two"}));

    // Nobody registered "w9": dropped; the sender never gets an answer.
    device->Send(Obj({{"action", "sendAppData"}, {"winId", "w9"}, {"data", 1}}));
    EXPECT_TRUE(device->Flush().isEmpty());
    EXPECT_TRUE(first->Flush().isEmpty());
    EXPECT_TRUE(second->Flush().isEmpty());
}

TEST_F(RoutingTest, ADisconnectedSocketLeavesEveryRegistry) {
    auto page = Client();
    page->Send(Obj({{"action", "handleAppFunctionCallback"}, {"winId", "gone"}, {"actionId", "cb"}}));
    page->Flush();
    app::AppHandleCallback::Entry entry;
    ASSERT_TRUE(app::AppHandleCallback::Instance().Lookup("gone", entry));
    page->Close();
    ASSERT_TRUE(apptest::WaitUntil([] {
        app::AppHandleCallback::Entry e;
        return !app::AppHandleCallback::Instance().Lookup("gone", e);
    }));
    // Data for it is dropped without touching a freed socket.
    auto device = Client();
    device->Send(Obj({{"action", "sendAppData"}, {"winId", "gone"}, {"data", 1}}));
    EXPECT_TRUE(device->Flush().isEmpty());
}

TEST_F(RoutingTest, DeviceSocketConnectsThenSendsThroughTheBridge) {
    auto page = Client();
    page->Send(Obj({{"action", "handleAppFunctionCallback"}, {"actionId", "main-cb"}}));
    page->Flush();

    app::YunStateManager& manager = app::YunStateManager::Instance();
    bool created = false;
    manager.open("dev-1", QString::number(window->Port()), [&created] { created = true; });
    EXPECT_FALSE(created);  // only after the socket is connected
    ASSERT_TRUE(apptest::WaitUntil([&] { return created; }));
    ASSERT_NE(manager.Socket("dev-1"), nullptr);

    manager.send("dev-1", R"({"action":"sendDataFromYunViewToMainView","data":{"type":"SCREENSHOT","instanceCode":"dev-1"}})");
    QJsonObject got;
    ASSERT_TRUE(page->Next(got));
    EXPECT_EQ(got.value("actionId").toString(), "main-cb");
    EXPECT_EQ(got.value("data").toObject().value("type").toString(), "SCREENSHOT");

    // The window map: inserted windows are found, activated instead of opened
    // again, and leave the map when destroyed.
    auto view = std::make_unique<QWidget>();
    manager.InsertWindow("dev-1", view.get());
    const int sockets = manager.SocketCount();
    page->Send(Obj({{"action", "showYunDeviceDialog"}, {"winId", "dev-1"}, {"localPort", QString::number(window->Port())}}));
    page->Flush();
    EXPECT_TRUE(view->isVisible());
    apptest::Pump(100);
    EXPECT_EQ(manager.SocketCount(), sockets);
    view.reset();
    EXPECT_EQ(manager.Window("dev-1"), nullptr);
}

TEST_F(RoutingTest, PageClosesDeviceWindows) {
    app::YunStateManager& manager = app::YunStateManager::Instance();
    QWidget single, sync;
    single.show();
    sync.show();
    manager.InsertWindow("w1", &single);
    manager.InsertWindow("syncDevice", &sync);
    auto page = Client();
    page->Send(Obj({{"action", "closeYunDeviceDialog"}, {"winId", "w1"}}));
    page->Send(Obj({{"action", "closeSyncYunDeviceDialog"}}));
    page->Flush();
    EXPECT_FALSE(single.isVisible());
    EXPECT_FALSE(single.property("closedByPage").toBool());
    EXPECT_FALSE(sync.isVisible());
    EXPECT_TRUE(sync.property("closedByPage").toBool());
    EXPECT_EQ(manager.Window("w1"), nullptr);
    EXPECT_EQ(manager.Window("syncDevice"), nullptr);
}

// A page that closes windows before their sockets connected, or shows one
// twice, leaves no window it cannot reach and opens each id once.
TEST_F(RoutingTest, ClosingAWindowThatIsStillOpeningCancelsIt) {
    app::YunStateManager& manager = app::YunStateManager::Instance();
    QList<QPointer<QWidget>> created;
    QStringList createdIds;
    manager.SetSingleOpener([&](const QJsonObject& request) {
        auto* view = new QWidget;
        view->setAttribute(Qt::WA_DeleteOnClose);
        manager.InsertWindow(request.value("winId").toString(), view);
        view->show();
        created << view;
        createdIds << request.value("winId").toString();
    });
    const int socketsBefore = manager.SocketCount();
    const QString port = QString::number(window->Port());
    auto page = Client();
    for (int i = 0; i < 30; ++i) {
        const QString id = QString("pair-%1").arg(i);
        page->Send(Obj({{"action", "showYunDeviceDialog"}, {"winId", id}, {"localPort", port}}));
        page->Send(Obj({{"action", "closeYunDeviceDialog"}, {"winId", id}}));
    }
    page->Send(Obj({{"action", "showYunDeviceDialog"}, {"winId", "twice"}, {"localPort", port}}));
    page->Send(Obj({{"action", "showYunDeviceDialog"}, {"winId", "twice"}, {"localPort", port}}));
    page->Flush();
    ASSERT_TRUE(apptest::WaitUntil([&] { return createdIds.contains("twice"); }));
    apptest::Pump(300);  // room for any stray socket to connect
    EXPECT_EQ(createdIds.count("twice"), 1);
    int open = 0;
    for (const QPointer<QWidget>& view : created) open += view && view->isVisible();
    EXPECT_EQ(open, 1) << createdIds.join(",").toStdString();
    // A pair whose socket won the race opened and was closed again; none is
    // left opening, and no id opened twice.
    for (int i = 0; i < 30; ++i) {
        const QString id = QString("pair-%1").arg(i);
        EXPECT_FALSE(manager.IsOpening(id)) << i;
        EXPECT_LE(createdIds.count(id), 1) << i;
    }
    EXPECT_LE(manager.SocketCount(), socketsBefore + 1 + createdIds.size());
    // A cancelled id can be shown again later.
    page->Send(Obj({{"action", "showYunDeviceDialog"}, {"winId", "pair-0"}, {"localPort", port}}));
    EXPECT_TRUE(apptest::WaitUntil([&] { return manager.Window("pair-0") != nullptr; }));
    for (const QPointer<QWidget>& view : created) delete view.data();
    manager.SetSingleOpener(nullptr);
}

TEST_F(RoutingTest, ShowDeviceDialogOpensThroughTheRegisteredOpener) {
    app::YunStateManager& manager = app::YunStateManager::Instance();
    QJsonObject seen;
    manager.SetSingleOpener([&seen](const QJsonObject& request) { seen = request; });
    auto page = Client();
    page->Send(Obj({{"action", "showYunDeviceDialog"}, {"winId", "w5"}, {"deviceId", "CP-5"}, {"channel", "Lumet"},
                    {"localPort", QString::number(window->Port())}, {"quality", 2}}));
    ASSERT_TRUE(apptest::WaitUntil([&seen] { return !seen.isEmpty(); }));
    EXPECT_EQ(seen.value("deviceId").toString(), "CP-5");
    EXPECT_NE(manager.Socket("w5"), nullptr);
    manager.SetSingleOpener(nullptr);
}

}  // namespace
