// Local storage through "operateLocalStore", and what the dispatcher ignores.
#include <gtest/gtest.h>

#include "main_window_fixture.h"

using apptest::Obj;

namespace {

class StoreTest : public apptest::MainWindowTest {
protected:
    QJsonObject Store(apptest::BridgeClient& c, int type, const QString& key, const QJsonValue& value,
                      const QString& actionId) {
        QJsonObject request = Obj({{"action", "operateLocalStore"}, {"type", type}, {"key", key}, {"actionId", actionId}});
        if (!value.isUndefined()) request.insert("value", value);
        c.Send(request);
        QJsonObject reply;
        EXPECT_TRUE(c.Next(reply)) << key.toStdString();
        return reply;
    }
    QString Read(apptest::BridgeClient& c, const QString& key) {
        const QJsonObject reply = Store(c, 2, key, QJsonValue::Undefined, "read-" + key);
        EXPECT_EQ(reply.value("actionId").toString(), "read-" + key);
        EXPECT_TRUE(reply.value("result").isString());
        EXPECT_EQ(reply.size(), 2);
        return reply.value("result").toString();
    }
};

TEST_F(StoreTest, StoresReadsAndClearsValuesOfEveryKind) {
    auto c = Client();
    QJsonObject echo = Store(*c, 1, "name", "tessivo", "a1");
    EXPECT_EQ(echo.value("action").toString(), "operateLocalStore");
    EXPECT_EQ(echo.value("value").toString(), "tessivo");
    EXPECT_EQ(Read(*c, "name"), "tessivo");

    // A boolean is answered but not stored.
    echo = Store(*c, 1, "flag", true, "a2");
    EXPECT_TRUE(echo.value("value").toBool());
    EXPECT_EQ(Read(*c, "flag"), "");
    EXPECT_FALSE(app::AppContext::Settings()->contains("flag"));

    // Numbers keep their integer part.
    Store(*c, 1, "ratio", 3.7, "a3");
    EXPECT_EQ(Read(*c, "ratio"), "3");
    Store(*c, 1, "negative", -2.9, "a4");
    EXPECT_EQ(Read(*c, "negative"), "-2");
    Store(*c, 1, "nothing", QJsonValue::Null, "a5");
    EXPECT_EQ(Read(*c, "nothing"), "0");

    EXPECT_EQ(Read(*c, "never-written"), "");

    echo = Store(*c, 3, "name", QJsonValue::Undefined, "a6");
    EXPECT_EQ(echo.value("actionId").toString(), "a6");
    EXPECT_EQ(Read(*c, "name"), "");
    EXPECT_TRUE(app::AppContext::Settings()->contains("name"));  // the key stays, empty

    // The values live in the INI file.
    Store(*c, 1, "persisted", "yes", "a7");
    QSettings file(app::AppContext::Settings()->fileName(), QSettings::IniFormat);
    EXPECT_EQ(file.value("persisted").toString(), "yes");
}

TEST_F(StoreTest, UnknownTypesMalformedJsonAndUnknownActionsGetNoAnswer) {
    auto c = Client();
    c->Send(Obj({{"action", "operateLocalStore"}, {"type", 7}, {"key", "k"}, {"actionId", "x"}}));
    c->SendText("{not json");
    c->SendText("[1, 2, 3]");
    c->SendText("\"operateLocalStore\"");
    c->Send(Obj({{"action", "noSuchAction"}, {"actionId", "y"}}));
    c->Send(Obj({{"actionId", "z"}}));
    EXPECT_TRUE(c->Flush().isEmpty());
    EXPECT_TRUE(c->IsConnected());
}

TEST_F(StoreTest, TableHoldsTheTwentyFiveActions) {
    const QStringList names = window->Channel()->ActionNames();
    EXPECT_EQ(names.size(), 25);
    for (const char* name : {"operateLocalStore", "handleAppFunctionCallback", "sendAppData",
                             "sendDataFromYunViewToMainView", "getAppInfo", "appLoadingCallback", "openWeb",
                             "downloadGame", "openNewWindow", "openFileInTemp", "setAutoOpenApp", "isAutoOpenApp",
                             "fullScreenMainWin", "closeApp", "minimizeApp", "showMainWin", "reSizeMainWin",
                             "dragStart", "dragStop", "showYunDeviceDialog", "showSyncYunDeviceDialog",
                             "closeYunDeviceDialog", "closeSyncYunDeviceDialog", "openLocalImgFolder",
                             "saveImgToLocal"}) {
        EXPECT_TRUE(names.contains(name)) << name;
    }
}

}  // namespace
