// What a person does in `make run`: the front-end page, served by the local
// cloud with its device list, opens a playing window for a phone of each
// back end when its "Open" button is pressed.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QDir>
#include <QLabel>
#include <QTest>
#include <QTemporaryDir>
#include <QWebEnginePage>

#include <memory>

#include "bridge/yun_state_manager.h"
#include "cloudsim/cloud_sim.h"
#include "device/device_opener.h"
#include "device/kovra_yun_base_view.h"
#include "device/lumet_channel_object.h"
#include "device/lumet_muti_channel_object.h"
#include "device/yun_device_label.h"
#include "main_window_fixture.h"
#include "picture_colours.h"
#include "wait.h"
#include "window/my_web_view.h"

namespace {

class FrontEndOpenTest : public apptest::MainWindowTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(workDir.isValid());
        previousDir = QDir::currentPath();
        QDir::setCurrent(workDir.path());
        cloudsim::CloudOptions options;
        options.logLevel = 60;
        options.logSink = [](int, const std::string&) {};
        options.webRoot = TESSIVO_WEB_DIR;
        cloud = std::make_unique<cloudsim::CloudSim>(options);
        std::string error;
        ASSERT_EQ(cloud->Start(&error), 0) << error;
        ::setenv("TESSIVO_PLATFORM_URL", cloud->HttpsUrl().c_str(), 1);
        ::setenv("TESSIVO_STAT_URL", cloud->HttpsUrl().c_str(), 1);
        MainWindowTest::SetUp();
        app::InstallDeviceViews();
    }
    void TearDown() override {
        for (const char* id : {"CP-DEMO-0001", "CP-DEMO-0003", "syncDevice"}) {
            delete app::YunStateManager::Instance().Window(id);
        }
        apptest::Pump(50);
        MainWindowTest::TearDown();
        cloud.reset();
        QDir::setCurrent(previousDir);
    }
    QString FrontendUrl() const override { return QString::fromStdString(cloud->HttpUrl() + "/index.html"); }

    QString RunScript(const QString& script) {
        QString result;
        bool done = false;
        window->WebView()->page()->runJavaScript(script, [&](const QVariant& value) {
            result = value.toString();
            done = true;
        });
        apptest::WaitUntil([&] { return done; }, 5000);
        return result;
    }
    // Presses the "Open" button on the card of deviceId.
    void PressOpen(const QString& deviceId) {
        RunScript(QStringLiteral("[...document.querySelectorAll('.device')]"
                                 ".find((c) => c.textContent.includes('%1'))"
                                 ".querySelector('button.primary').click(); 'ok'")
                      .arg(deviceId));
    }
    app::KovraYunBaseView* WaitWindow(const QString& winId) {
        apptest::WaitUntil([&] { return app::YunStateManager::Instance().Window(winId) != nullptr; }, 10000);
        return qobject_cast<app::KovraYunBaseView*>(app::YunStateManager::Instance().Window(winId));
    }
    QTemporaryDir workDir;
    QString previousDir;
    std::unique_ptr<cloudsim::CloudSim> cloud;
};

TEST_F(FrontEndOpenTest, OpenOnTheCloudsDeviceListPlaysEachBackEnd) {
    ASSERT_TRUE(apptest::WaitUntil(
                    [&] {
                        return RunScript("String(['CP-DEMO-0001', 'CP-DEMO-0003'].every((id) => "
                                         "[...document.querySelectorAll('.device')]"
                                         ".some((c) => c.textContent.includes(id))))") == "true";
                    },
                    30000))
        << "the page did not list the cloud's phones";
    EXPECT_TRUE(RunScript("document.getElementById('deviceGrid').textContent").contains("Demo phone 1"));

    PressOpen("CP-DEMO-0001");
    app::KovraYunBaseView* lumet = WaitWindow("CP-DEMO-0001");
    ASSERT_NE(lumet, nullptr);
    auto* channel = dynamic_cast<app::LumetChannelObject*>(lumet->Channel().get());
    ASSERT_NE(channel, nullptr);
    EXPECT_TRUE(apptest::WaitUntil([&] { return channel->Shown(); }, 20000)) << "the Lumet window shows no frame";

    PressOpen("CP-DEMO-0003");
    app::KovraYunBaseView* kovra = WaitWindow("CP-DEMO-0003");
    ASSERT_NE(kovra, nullptr);
    EXPECT_TRUE(apptest::WaitUntil([&] { return apptest::PixmapColours(kovra->Ui().yunViewLabel) > 8; }, 20000))
        << "the Kovra window shows no picture";
    cloudsim::SessionInfo session;
    ASSERT_TRUE(cloud->LatestSession("CP-DEMO-0003", session));
    EXPECT_EQ(session.playing, 1);
}

// Group control as a person tries it: tick three phones, choose the second
// as the main phone, open the group window; the page shows the sync state the
// window reports and lists what it asked for.
TEST_F(FrontEndOpenTest, AGroupWindowOpensFromTheChosenPhonesAndReportsToThePage) {
    ASSERT_TRUE(apptest::WaitUntil([&] { return RunScript("document.querySelectorAll('.device').length") == "11"; },
                                   30000));
    for (const char* id : {"CP-GROUP-0001", "CP-GROUP-0002", "CP-GROUP-0003"}) {
        RunScript(QStringLiteral("[...document.querySelectorAll('.device')]"
                                 ".find((c) => c.textContent.includes('%1'))"
                                 ".querySelector('input[type=checkbox]').click(); 'ok'")
                      .arg(QLatin1String(id)));
    }
    EXPECT_EQ(RunScript("document.querySelectorAll('#groupMembers .member').length"), "3");
    RunScript("document.querySelector('#groupMembers input[value=\"CP-GROUP-0002\"]').click(); 'ok'");
    RunScript("document.getElementById('btnOpenGroup').click(); 'ok'");
    app::KovraYunBaseView* view = WaitWindow("syncDevice");
    ASSERT_NE(view, nullptr);
    auto* channel = dynamic_cast<app::LumetMutiChannelObject*>(view->Channel().get());
    ASSERT_NE(channel, nullptr);
    EXPECT_EQ(channel->MainDevice(), "CP-GROUP-0002");
    ASSERT_EQ(channel->Devices().size(), 3);
    EXPECT_EQ(channel->Devices()[1].deviceId, "CP-GROUP-0001");
    EXPECT_TRUE(apptest::WaitUntil([&] { return channel->Shown(); }, 30000)) << "the main phone shows no frame";
    auto syncText = [&] { return RunScript("document.getElementById('syncState').textContent"); };
    EXPECT_EQ(syncText(), "Sync running");

    QTest::mousePress(view->Ui().stopMutiBUtton, Qt::LeftButton);
    EXPECT_TRUE(apptest::WaitUntil([&] { return syncText() == "Sync paused"; }, 10000)) << syncText().toStdString();
    QTest::mousePress(view->Ui().stopMutiBUtton, Qt::LeftButton);
    EXPECT_TRUE(apptest::WaitUntil([&] { return syncText() == "Sync running"; }, 10000)) << syncText().toStdString();
    QTest::mousePress(view->Ui().installButton, Qt::LeftButton);
    QTest::mousePress(view->Ui().cutButton, Qt::LeftButton);
    auto log = [&] { return RunScript("document.getElementById('groupLog').textContent"); };
    EXPECT_TRUE(apptest::WaitUntil([&] {
        return log().contains("Install on all devices") && log().contains("Screenshot of all devices");
    }, 10000)) << log().toStdString();

    RunScript("document.getElementById('btnCloseGroup').click(); 'ok'");
    EXPECT_TRUE(apptest::WaitUntil([&] { return app::YunStateManager::Instance().Window("syncDevice") == nullptr; },
                                   10000));
    EXPECT_EQ(syncText(), "No group window");
}

}  // namespace
