// The real embedded browser: pages that talk to the bridge from inside the
// main window.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QWebEnginePage>

#include "bridge/app_handle_callback.h"
#include "bridge/web_socket_channel.h"
#include "bridge_client.h"
#include "context/app_context.h"
#include "wait.h"
#include "window/main_window.h"
#include "window/my_web_view.h"

using apptest::Obj;

namespace {

const char kProbePage[] = R"(<!DOCTYPE html><html><head><title>loading</title></head><body><script>
const port = /[?&]localPort=(\d+)/.exec(location.href)[1];
const ws = new WebSocket('ws://127.0.0.1:' + port);
ws.onopen = () => ws.send(JSON.stringify({action: 'getAppInfo', actionId: 'probe'}));
ws.onmessage = (e) => { const m = JSON.parse(e.data); if (m.actionId === 'probe') document.title = 'ok:' + m.version; };
ws.onclose = () => { if (!document.title.startsWith('ok:')) document.title = 'closed'; };
</script></body></html>)";

QString RunScript(QWebEnginePage* page, const QString& script) {
    QString result;
    bool done = false;
    page->runJavaScript(script, [&](const QVariant& value) {
        result = value.toString();
        done = true;
    });
    apptest::WaitUntil([&] { return done; }, 5000);
    return result;
}

TEST(BrowserViewTest, ALocalPageRoundTripsAnActionThroughTheBridge) {
    QTemporaryDir dir;
    QFile page(dir.path() + "/probe.html");
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.write(kProbePage);
    page.close();
    app::AppContext::SetFrontendUrl(QUrl::fromLocalFile(page.fileName()).toString());
    app::MainWindow window;
    window.show();
    EXPECT_TRUE(apptest::WaitUntil([&] { return window.WebView()->title().startsWith("ok:") ||
                                                window.WebView()->title() == "closed"; }, 30000))
        << window.WebView()->title().toStdString();
    EXPECT_EQ(window.WebView()->title(), "ok:1.0.3.0");
    EXPECT_NE(window.WebView()->InputSurface(), nullptr);
}

// Serves kProbePage over plain HTTP on 127.0.0.1.
class PageServer : public QTcpServer {
public:
    PageServer() {
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = nextPendingConnection()) {
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
                connect(socket, &QTcpSocket::readyRead, socket, [socket] {
                    if (!socket->peek(65536).contains("\r\n\r\n")) return;
                    const bool favicon = socket->readAll().startsWith("GET /favicon");
                    const QByteArray body = favicon ? QByteArray() : QByteArray(kProbePage);
                    socket->write(QByteArray(favicon ? "HTTP/1.1 404 Not Found" : "HTTP/1.1 200 OK") +
                                  "\r\nContent-Type: text/html\r\nConnection: close\r\nContent-Length: " +
                                  QByteArray::number(body.size()) + "\r\n\r\n" + body);
                    socket->disconnectFromHost();
                });
            }
        });
    }
};

TEST(BrowserViewTest, APageServedOverHttpLoadsAndMayUseTheBridge) {
    PageServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    app::AppContext::SetFrontendUrl(QStringLiteral("http://127.0.0.1:%1/probe.html").arg(server.serverPort()));
    app::MainWindow window;
    window.show();
    EXPECT_TRUE(apptest::WaitUntil([&] { return window.WebView()->title().startsWith("ok:") ||
                                                window.WebView()->title() == "closed"; }, 30000))
        << window.WebView()->title().toStdString();
    EXPECT_EQ(window.WebView()->title(), "ok:1.0.3.0");
}

TEST(BrowserViewTest, TheFrontEndRegistersForDataAndShowsWhatDeviceWindowsSend) {
    const QString index = QStringLiteral(TESSIVO_WEB_DIR "/index.html");
    ASSERT_TRUE(QFile::exists(index));
    app::AppContext::SetFrontendUrl(QUrl::fromLocalFile(index).toString());
    app::MainWindow window;
    window.show();
    app::AppHandleCallback::Entry entry;
    ASSERT_TRUE(apptest::WaitUntil([&] { return app::AppHandleCallback::Instance().Lookup("main", entry); }, 30000));
    EXPECT_EQ(entry.actionId, "main-callback");
    QWebEnginePage* webPage = window.WebView()->page();
    EXPECT_TRUE(apptest::WaitUntil(
        [&] { return RunScript(webPage, "document.querySelectorAll('.device').length") == "6"; }, 10000));

    apptest::BridgeClient device;
    ASSERT_TRUE(device.Connect(window.Port()));
    device.Send(Obj({{"action", "sendDataFromYunViewToMainView"},
                     {"data", Obj({{"type", "closeWin"}, {"winId", "CP-10002"}})}}));
    EXPECT_TRUE(apptest::WaitUntil(
        [&] { return RunScript(webPage, "document.getElementById('toasts').textContent").contains("CP-10002"); },
        10000));
    EXPECT_EQ(RunScript(webPage, "document.getElementById('bridgeStatus').dataset.state"), "open");
}

}  // namespace
