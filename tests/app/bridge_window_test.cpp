// Window control of the main window from the page.
#include <gtest/gtest.h>

#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>

#include "main_window_fixture.h"
#include "wait.h"
#include "window/my_web_view.h"

using apptest::Obj;

namespace {

using WindowTest = apptest::MainWindowTest;

TEST_F(WindowTest, StartsFramelessAtItsDesignedSizeOnTheBridgePort) {
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(window->minimumSize(), QSize(1024, 558));
    EXPECT_EQ(window->size(), QSize(1024, 558));
    EXPECT_TRUE(window->StartUrl().toString().endsWith("?localPort=" + QString::number(window->Port())));
    EXPECT_EQ(window->objectName(), "MainWindow");
    EXPECT_EQ(window->WebView()->objectName(), "baseWebView");
}

TEST_F(WindowTest, ResizeCentresTheRequestedGeometryOnThePrimaryScreen) {
    auto c = Client();
    c->Send(Obj({{"action", "reSizeMainWin"}, {"minWidth", 300}, {"minHeight", 200}, {"maxWidth", 1200},
                 {"maxHeight", 900}, {"width", 801}, {"height", 601}}));
    c->Flush();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(window->minimumSize(), QSize(300, 200));
    EXPECT_EQ(window->maximumSize(), QSize(1200, 900));
    EXPECT_EQ(window->geometry(), QRect(screen.x() + screen.width() / 2 - 801 / 2,
                                        screen.y() + screen.height() / 2 - 601 / 2, 801, 601));
}

TEST_F(WindowTest, MinimiseTwiceRestoresAndFullScreenToggles) {
    auto c = Client();
    c->Send(Obj({{"action", "minimizeApp"}}));
    c->Flush();
    EXPECT_TRUE(apptest::WaitUntil([this] { return window->isMinimized(); }));
    c->Send(Obj({{"action", "minimizeApp"}}));
    c->Flush();
    EXPECT_TRUE(apptest::WaitUntil([this] { return !window->isMinimized(); }));

    c->Send(Obj({{"action", "fullScreenMainWin"}, {"full", true}}));
    c->Flush();
    EXPECT_TRUE(apptest::WaitUntil([this] { return window->isMaximized(); }));
    c->Send(Obj({{"action", "fullScreenMainWin"}, {"full", false}}));
    c->Flush();
    EXPECT_TRUE(apptest::WaitUntil([this] { return !window->isMaximized(); }));
}

TEST_F(WindowTest, CloseAppQuitsOnlyWhenCloseFuncIsOne) {
    auto c = Client();
    auto closeWith = [&](const QJsonValue& closeFunc) {
        window->show();
        if (closeFunc.isUndefined()) {
            app::AppContext::Settings()->remove("closeFunc");
        } else {
            c->Send(Obj({{"action", "operateLocalStore"}, {"type", 1}, {"key", "closeFunc"}, {"value", closeFunc}}));
        }
        c->Send(Obj({{"action", "closeApp"}}));
        c->Flush();
    };
    closeWith(QJsonValue::Undefined);
    EXPECT_EQ(quitCalls, 0);
    EXPECT_FALSE(window->isVisible());
    closeWith("2");
    EXPECT_EQ(quitCalls, 0);
    EXPECT_FALSE(window->isVisible());
    closeWith("");
    EXPECT_EQ(quitCalls, 0);
    closeWith("1");
    EXPECT_EQ(quitCalls, 1);
    EXPECT_TRUE(window->isVisible());
    closeWith(1);
    EXPECT_EQ(quitCalls, 2);
    c->Send(Obj({{"action", "showMainWin"}}));
    c->Flush();
    EXPECT_TRUE(window->isVisible());
}

void MouseMove(QWidget* surface, const QPoint& global, Qt::MouseButtons buttons) {
    QMouseEvent move(QEvent::MouseMove, surface->mapFromGlobal(global), global, Qt::NoButton, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(surface, &move);
}

TEST_F(WindowTest, DragFromThePageMovesTheWindowWhileTheButtonIsHeld) {
    ASSERT_TRUE(apptest::WaitUntil([this] { return window->WebView()->InputSurface() != nullptr; }));
    QWidget* surface = window->WebView()->InputSurface();
    window->move(100, 100);
    apptest::WaitUntil([this] { return window->frameGeometry().topLeft() == QPoint(100, 100); }, 2000);
    const QPoint start = window->frameGeometry().topLeft();
    const QPoint grab = start + QPoint(200, 20);
    QCursor::setPos(grab);
    ASSERT_TRUE(apptest::WaitUntil([&] { return QCursor::pos() == grab; }, 2000));
    auto c = Client();
    c->Send(Obj({{"action", "dragStart"}}));
    c->Flush();
    MouseMove(surface, grab + QPoint(40, 25), Qt::LeftButton);
    EXPECT_TRUE(apptest::WaitUntil([&] { return window->frameGeometry().topLeft() == start + QPoint(40, 25); }, 2000));

    // A move without the button ends the drag (the release happened elsewhere).
    MouseMove(surface, grab + QPoint(90, 90), Qt::NoButton);
    MouseMove(surface, grab + QPoint(120, 120), Qt::LeftButton);
    apptest::Pump(100);
    EXPECT_EQ(window->frameGeometry().topLeft(), start + QPoint(40, 25));

    c->Send(Obj({{"action", "dragStart"}}));
    c->Send(Obj({{"action", "dragStop"}}));
    c->Flush();
    MouseMove(surface, grab + QPoint(5, 5), Qt::LeftButton);
    apptest::Pump(100);
    EXPECT_EQ(window->frameGeometry().topLeft(), start + QPoint(40, 25));
}

}  // namespace
