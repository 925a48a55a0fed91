#pragma once
// A main window with its bridge, the page's socket registered as "main",
// and the local cloud in-process; device windows are opened the way the
// page opens them, with "showYunDeviceDialog".
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QDir>
#include <QTest>
#include <QWindow>
#include <QTemporaryDir>

#include <memory>
#include <set>
#include <string>

#include "bridge/yun_state_manager.h"
#include "cloudsim/cloud_sim.h"
#include "device/device_opener.h"
#include "device/kovra_yun_base_view.h"
#include "main_window_fixture.h"
#include "wait.h"

namespace apptest {

class DeviceCloudTest : public MainWindowTest {
protected:
    static constexpr const char* kInstance = "CP-DEMO-0001";

    void SetUp() override {
        ASSERT_TRUE(workDir.isValid());
        previousDir = QDir::currentPath();
        QDir::setCurrent(workDir.path());  // the SDK keeps its files in the working folder
        cloudsim::CloudOptions options;
        options.logLevel = 60;
        options.logSink = [](int, const std::string&) {};
        ConfigureCloud(options);
        cloud = std::make_unique<cloudsim::CloudSim>(options);
        std::string error;
        ASSERT_EQ(cloud->Start(&error), 0) << error;
        ::setenv("TESSIVO_PLATFORM_URL", cloud->HttpsUrl().c_str(), 1);
        ::setenv("TESSIVO_STAT_URL", cloud->HttpsUrl().c_str(), 1);
        MainWindowTest::SetUp();
        app::InstallDeviceViews();
        page = Client();
        page->Send(Obj({{"action", "handleAppFunctionCallback"}, {"actionId", "page-1"}}));
        page->Flush();
    }
    void TearDown() override {
        for (const QString& id : openedIds) {
            delete app::YunStateManager::Instance().Window(id);
        }
        Pump(50);
        page.reset();
        MainWindowTest::TearDown();
        cloud.reset();
        QDir::setCurrent(previousDir);
    }

    // A test's own settings of the local cloud, before it starts.
    virtual void ConfigureCloud(cloudsim::CloudOptions& options) {}

    // Sends "showYunDeviceDialog" and waits for the window (null when none opened).
    app::KovraYunBaseView* Open(QJsonObject request, int timeoutMs = 10000) {
        const QString winId = request.value("winId").toString();
        request.insert("action", "showYunDeviceDialog");
        request.insert("localPort", QString::number(window->Port()));
        page->Send(request);
        openedIds << winId;
        WaitUntil([&] { return app::YunStateManager::Instance().Window(winId) != nullptr; }, timeoutMs);
        return qobject_cast<app::KovraYunBaseView*>(app::YunStateManager::Instance().Window(winId));
    }

    // Waits until the phone received a message of kind that matches.
    bool WaitReceived(const std::string& kind, const std::function<bool(const Json::Value&)>& match,
                      int timeoutMs = 8000) {
        return WaitUntil([&] {
            for (const cloudsim::ReceivedMessage& m : cloud->Received(kInstance)) {
                if (m.kind == kind && match(m.fields)) return true;
            }
            return false;
        }, timeoutMs);
    }
    int CountReceived(const std::string& kind) {
        int n = 0;
        for (const cloudsim::ReceivedMessage& m : cloud->Received(kInstance)) n += m.kind == kind;
        return n;
    }

    // Taps the phone's text field, waits until the view knows the phone takes
    // text, and types every printable ASCII character, then Backspace, Tab
    // and Enter, through the window as a keyboard does. Each character must
    // reach the phone exactly once: as one input string, or one key for the
    // keys without a character.
    void ExpectTypedTextArrivesOnce(app::KovraYunBaseView* view) {
        QWidget* label = view->Ui().yunViewLabel;
        QTest::mousePress(label, Qt::LeftButton, Qt::NoModifier, QPoint(216, 84));
        QTest::mouseRelease(label, Qt::LeftButton, Qt::NoModifier, QPoint(216, 84));
        ASSERT_TRUE(WaitUntil([&] { return view->Channel()->isInputActive(); }, 10000))
            << "the phone's text field never took the focus";
        cloud->ClearRecords();
        std::string printable;
        for (char c = 32; c < 127; ++c) printable += c;
        QWindow* window = view->windowHandle();
        for (char c : printable) QTest::keyClick(window, c);
        for (Qt::Key key : {Qt::Key_Backspace, Qt::Key_Tab, Qt::Key_Return}) QTest::keyClick(window, key);

        const std::string expected = printable.substr(0, printable.size() - 1);  // Backspace took the last
        cloudsim::PhoneView phone;
        EXPECT_TRUE(WaitUntil([&] { return cloud->Phone(kInstance, phone) && !phone.focused; }, 10000))
            << "Enter did not reach the phone";
        EXPECT_EQ(phone.text, expected);
        std::string strings;
        std::multiset<int> keysDown;
        for (const cloudsim::ReceivedMessage& m : cloud->Received(kInstance)) {
            if (m.kind == "inputString") strings += m.fields["text"].asString();
            if (m.kind == "key" && m.fields["down"].asBool()) keysDown.insert(m.fields["key"].asInt());
            EXPECT_NE(m.kind, "copyString") << m.fields["text"].asString();
        }
        EXPECT_EQ(strings, printable);
        EXPECT_EQ(keysDown, std::multiset<int>({14, 15, 28}));  // Backspace, Tab, Enter
    }

    // The next message the page gets whose "data"."type" is type.
    bool PageGets(const QString& type, QJsonObject& data, int timeoutMs = 5000) {
        QJsonObject message;
        while (page->Next(message, timeoutMs)) {
            if (message.value("data").toObject().value("type").toString() == type) {
                data = message.value("data").toObject();
                return true;
            }
        }
        return false;
    }

    QTemporaryDir workDir;
    QString previousDir;
    std::unique_ptr<cloudsim::CloudSim> cloud;
    std::unique_ptr<BridgeClient> page;
    QStringList openedIds;
};

}  // namespace apptest
