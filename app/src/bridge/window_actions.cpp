// Window control of the main window from the page.
#include <QDebug>
#include <QGuiApplication>
#include <QScreen>

#include "bridge/bridge_io.h"
#include "bridge/web_socket_channel.h"
#include "context/app_context.h"
#include "window/common_web_view.h"
#include "window/window_drag.h"

namespace app {
namespace {

void FullScreenMainWin(QJsonObject request, QWebSocket*) {
    QWidget* window = AppContext::MainWindow();
    if (!window) return;
    if (ReadBool(request, QStringLiteral("full"))) {
        window->showMaximized();
    } else {
        window->showNormal();
    }
}

void MinimizeApp(QJsonObject, QWebSocket*) {
    QWidget* window = AppContext::MainWindow();
    if (!window) return;
    if (window->isMinimized()) {
        window->showNormal();
    } else {
        window->showMinimized();
    }
}

void ShowMainWin(QJsonObject, QWebSocket*) {
    if (QWidget* window = AppContext::MainWindow()) window->show();
}

void ReSizeMainWin(QJsonObject request, QWebSocket*) {
    QWidget* window = AppContext::MainWindow();
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!window || !screen) return;
    window->setMinimumSize(ReadInt(request, QStringLiteral("minWidth")), ReadInt(request, QStringLiteral("minHeight")));
    window->setMaximumSize(ReadInt(request, QStringLiteral("maxWidth")), ReadInt(request, QStringLiteral("maxHeight")));
    const QRect area = screen->geometry();
    const int w = ReadInt(request, QStringLiteral("width"));
    const int h = ReadInt(request, QStringLiteral("height"));
    window->setGeometry(area.x() + area.width() / 2 - w / 2, area.y() + area.height() / 2 - h / 2, w, h);
}

void DragStart(QJsonObject, QWebSocket*) {
    qDebug() << "dragStart";
    WindowDrag::Start(AppContext::MainWindow());
}

void DragStop(QJsonObject, QWebSocket*) { WindowDrag::Stop(); }

void OpenNewWindow(QJsonObject request, QWebSocket*) {
    const QUrl url(ReadText(request, QStringLiteral("weburl")));
    if (!url.isValid() || url.isEmpty()) return;
    auto* view = new CommonWebView(url, AppContext::MainWindow());  // deletes itself on close
    view->show();
}

}  // namespace

void AddWindowActions(ActionTable& table, WebSocketChannel& channel) {
    table.insert(QStringLiteral("fullScreenMainWin"), FullScreenMainWin);
    table.insert(QStringLiteral("minimizeApp"), MinimizeApp);
    table.insert(QStringLiteral("showMainWin"), ShowMainWin);
    table.insert(QStringLiteral("reSizeMainWin"), ReSizeMainWin);
    table.insert(QStringLiteral("dragStart"), DragStart);
    table.insert(QStringLiteral("dragStop"), DragStop);
    table.insert(QStringLiteral("openNewWindow"), OpenNewWindow);
    table.insert(QStringLiteral("closeApp"), [&channel](QJsonObject, QWebSocket*) {
        if (AppContext::Settings()->value(QStringLiteral("closeFunc")).toInt() == 1) {
            channel.Quit();
        } else if (QWidget* window = AppContext::MainWindow()) {
            window->hide();
        }
    });
}

}  // namespace app
