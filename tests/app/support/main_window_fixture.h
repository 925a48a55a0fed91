#pragma once
// A fresh main window (with its bridge) per test, and bridge clients for it.
#include <gtest/gtest.h>

#include <memory>

#include "bridge/web_socket_channel.h"
#include "bridge_client.h"
#include "context/app_context.h"
#include "window/main_window.h"

namespace apptest {

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        app::AppContext::SetFrontendUrl(FrontendUrl());
        window = std::make_unique<app::MainWindow>();
        window->show();
        window->Channel()->SetQuitFunction([this] { ++quitCalls; });
        ASSERT_GT(window->Port(), 0);
    }
    void TearDown() override { window.reset(); }

    virtual QString FrontendUrl() const { return QStringLiteral("about:blank"); }

    // A connected client, or null (with a test failure) when it cannot connect.
    std::unique_ptr<BridgeClient> Client(const QString& origin = QString()) {
        auto client = std::make_unique<BridgeClient>(origin);
        EXPECT_TRUE(client->Connect(window->Port()));
        return client;
    }

    std::unique_ptr<app::MainWindow> window;
    int quitCalls = 0;
};

}  // namespace apptest
