// Host information and auto start through the bridge.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>

#include "host/host_info.h"
#include "main_window_fixture.h"
#include "platform/auto_start.h"
#include "platform/config_value.h"

using apptest::Obj;

namespace {

using HostTest = apptest::MainWindowTest;

TEST_F(HostTest, GetAppInfoReportsIdentityVersionAndHost) {
    platform::WriteConfigValue(app::AppContext::ApplicationName().toStdString(), "sdkParam",
                               QByteArray(R"({"promoteId": "p-9", "app_id": 4711})").toBase64().toStdString());
    auto c = Client();
    c->Send(Obj({{"action", "getAppInfo"}, {"actionId", "info"}}));
    QJsonObject info;
    ASSERT_TRUE(c->Next(info));
    EXPECT_EQ(info.keys(), (QStringList{"actionId", "app_id", "device", "network", "packname", "platform", "promoteid",
                                        "sys_version", "version"}));
    EXPECT_EQ(info.value("actionId").toString(), "info");
    EXPECT_EQ(info.value("version").toString(), "1.0.3.0");
    EXPECT_EQ(info.value("platform").toString(), "pc");
    EXPECT_EQ(info.value("packname").toString(), app::AppContext::ApplicationId());
    EXPECT_EQ(info.value("promoteid").toString(), "p-9");
    EXPECT_EQ(info.value("app_id").toString(), "4711");
    EXPECT_EQ(info.value("device").toString(), app::HostInfo::Fingerprint());
    EXPECT_EQ(info.value("device").toString().size(), 32);
    EXPECT_FALSE(info.value("sys_version").toString().isEmpty());
    EXPECT_TRUE(info.value("network").toString() == "WiFi" || info.value("network").toString() == "有线");
    platform::RemoveConfigValue(app::AppContext::ApplicationName().toStdString(), "sdkParam");
}

TEST_F(HostTest, AutoStartOnAndOffWritesAndRemovesTheEntry) {
    const QString entry = QString::fromStdString(platform::AutoStartEntryPath(app::AppContext::ApplicationId().toStdString()));
    ASSERT_TRUE(entry.startsWith(qEnvironmentVariable("HOME") + "/.config/autostart/"));
    auto c = Client();
    auto isAuto = [&c] {
        c->Send(Obj({{"action", "isAutoOpenApp"}, {"actionId", "q"}, {"extra", 5}}));
        QJsonObject reply;
        EXPECT_TRUE(c->Next(reply));
        EXPECT_EQ(reply.value("action").toString(), "isAutoOpenApp");  // the request comes back
        EXPECT_EQ(reply.value("extra").toInt(), 5);
        return reply.value("isAuto").toBool();
    };
    EXPECT_FALSE(isAuto());
    c->Send(Obj({{"action", "setAutoOpenApp"}, {"isAuto", true}}));
    EXPECT_TRUE(isAuto());
    QFile file(entry);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(text.contains("Exec=\"" + QCoreApplication::applicationFilePath() + "\"")) << text.toStdString();
    EXPECT_TRUE(text.startsWith("[Desktop Entry]\n"));
    c->Send(Obj({{"action", "setAutoOpenApp"}, {"isAuto", false}}));
    EXPECT_FALSE(isAuto());
    EXPECT_FALSE(QFile::exists(entry));
}

TEST_F(HostTest, AppLoadingCallbackEchoesTheRequest) {
    auto c = Client();
    const QJsonObject request = Obj({{"action", "appLoadingCallback"}, {"actionId", "l"}, {"nested", Obj({{"a", 1}})}});
    c->Send(request);
    QJsonObject reply;
    ASSERT_TRUE(c->Next(reply));
    EXPECT_EQ(reply, request);
}

}  // namespace
