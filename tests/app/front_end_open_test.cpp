// What a person does in `make run`: the front-end page, served by the local
// cloud with its device list, opens a playing window for a phone of each
// back end when its "Open" button is pressed.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QDir>
#include <QLabel>
#include <QTemporaryDir>
#include <QWebEnginePage>

#include <memory>

#include "bridge/yun_state_manager.h"
#include "cloudsim/cloud_sim.h"
#include "device/device_opener.h"
#include "device/kovra_yun_base_view.h"
#include "device/lumet_channel_object.h"
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
        for (const char* id : {"CP-DEMO-0001", "CP-DEMO-0003"}) delete app::YunStateManager::Instance().Window(id);
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

}  // namespace
