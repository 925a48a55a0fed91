// What the bridge refuses: foreign pages, foreign Host names, file names that
// leave their folder, non-web addresses; and where it listens.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <list>

#include "main_window_fixture.h"
#include "url_recorder.h"
#include "wait.h"

using apptest::Obj;

namespace {

class SecurityTest : public apptest::MainWindowTest {
protected:
    QString FrontendUrl() const override { return QStringLiteral("https://front.example.test/app/index.html"); }
};

TEST_F(SecurityTest, OnlyTheFrontEndOriginOrNoOriginMayConnect) {
    apptest::BridgeClient foreign(QStringLiteral("https://evil.example.test"));
    EXPECT_FALSE(foreign.Connect(window->Port()));
    apptest::BridgeClient otherPort(QStringLiteral("https://front.example.test:8443"));
    EXPECT_FALSE(otherPort.Connect(window->Port()));

    auto own = Client();  // the program's own sockets send no Origin
    EXPECT_TRUE(own->IsConnected());
    apptest::BridgeClient page(QStringLiteral("https://front.example.test"));
    ASSERT_TRUE(page.Connect(window->Port()));
    page.Send(Obj({{"action", "appLoadingCallback"}, {"actionId", "p"}}));
    QJsonObject echo;
    EXPECT_TRUE(page.Next(echo));
}

TEST_F(SecurityTest, ANonLoopbackHostIsClosedAtOnce) {
    QTcpSocket raw;
    raw.connectToHost(QHostAddress::LocalHost, window->Port());
    ASSERT_TRUE(raw.waitForConnected(5000));
    raw.write("GET / HTTP/1.1\r\nHost: evil.example.test:" + QByteArray::number(window->Port()) +
              "\r\nUpgrade: websocket\r\nConnection: Upgrade\r\nSec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n"
              "Sec-WebSocket-Version: 13\r\n\r\n");
    QByteArray received;
    ASSERT_TRUE(apptest::WaitUntil([&] {
        received += raw.readAll();
        const int end = received.indexOf("\r\n\r\n");
        return end >= 0 && received.size() >= end + 8;
    }));
    EXPECT_TRUE(received.startsWith("HTTP/1.1 101"));
    const QByteArray frame = received.mid(received.indexOf("\r\n\r\n") + 4);
    EXPECT_EQ(static_cast<unsigned char>(frame[0]), 0x88);  // close frame
    EXPECT_EQ(static_cast<unsigned char>(frame[2]), 0x03);  // code 1008: policy violated
    EXPECT_EQ(static_cast<unsigned char>(frame[3]), 0xF0);
}

TEST_F(SecurityTest, FileNamesFromThePageStayInTheirFolder) {
    apptest::UrlRecorder recorder({"file"});
    const QString dir = QCoreApplication::applicationDirPath();
    auto c = Client();
    c->Send(Obj({{"action", "downloadGame"}, {"actionId", "d"}, {"appName", "../escaped-game"},
                 {"downloadUrl", "https://127.0.0.1:9/x"}}));
    c->Send(Obj({{"action", "saveImgToLocal"}, {"actionId", "s1"}, {"fileName", "sub/escaped-img"},
                 {"fileSuffix", "png"}, {"imgUrl", "https://127.0.0.1:9/x"}}));
    c->Send(Obj({{"action", "saveImgToLocal"}, {"actionId", "s2"}, {"fileName", "escaped-img"},
                 {"fileSuffix", "/../../png"}, {"imgUrl", "https://127.0.0.1:9/x"}}));
    c->Send(Obj({{"action", "saveImgToLocal"}, {"actionId", "s3"}, {"fileName", "..\\escaped-img"},
                 {"fileSuffix", "png"}, {"imgUrl", "https://127.0.0.1:9/x"}}));
    c->Send(Obj({{"action", "openFileInTemp"}, {"fileName", "../tessivoYunBox"}}));
    c->Send(Obj({{"action", "openFileInTemp"}, {"fileName", ".."}}));
    EXPECT_TRUE(c->Flush().isEmpty());
    EXPECT_FALSE(QFile::exists(dir + "/escaped-game.exe"));
    EXPECT_FALSE(QFile::exists(dir + "/png"));
    EXPECT_FALSE(QFile::exists(dir + "/localImg/sub/escaped-img.png"));
    EXPECT_TRUE(recorder.opened.isEmpty());

    c->Send(Obj({{"action", "openFileInTemp"}, {"fileName", "setup.exe"}}));
    c->Send(Obj({{"action", "openLocalImgFolder"}}));
    c->Flush();
    ASSERT_EQ(recorder.opened.size(), 2);
    EXPECT_EQ(recorder.opened[0].toLocalFile(), dir + "/temp/setup.exe");
    EXPECT_EQ(recorder.opened[1].toLocalFile(), dir + "/localImg");
}

TEST_F(SecurityTest, OpenWebTakesOnlyWebAddresses) {
    apptest::UrlRecorder recorder({"file", "https", "http", "smb"});
    auto c = Client();
    c->Send(Obj({{"action", "openWeb"}, {"url", "file:///bin/sh"}}));
    c->Send(Obj({{"action", "openWeb"}, {"url", "smb://host/share"}}));
    c->Send(Obj({{"action", "openWeb"}, {"url", "https://help.example.test/faq"}}));
    c->Flush();
    ASSERT_EQ(recorder.opened.size(), 1);
    EXPECT_EQ(recorder.opened[0].toString(), "https://help.example.test/faq");
}

TEST(BridgePortTest, TakesTheNextFreePortWhen12125And12126AreBusy) {
    // Hold both ports ourselves: a window of a parallel test may have one of
    // them now and free it before our window starts.
    std::list<QTcpServer> blockers(2);
    auto it = blockers.begin();
    QTcpServer& first = *it;
    QTcpServer& second = *++it;
    QElapsedTimer waited;
    waited.start();
    while ((!first.isListening() && !first.listen(QHostAddress::LocalHost, 12125)) ||
           (!second.isListening() && !second.listen(QHostAddress::LocalHost, 12126))) {
        ASSERT_LT(waited.elapsed(), 60000) << "ports 12125/12126 stayed busy";
        QThread::msleep(50);
    }
    int expected = 12127;
    for (;; ++expected) {
        QTcpServer probe;
        if (probe.listen(QHostAddress::LocalHost, static_cast<quint16>(expected))) break;
    }
    app::AppContext::SetFrontendUrl(QStringLiteral("about:blank"));
    app::MainWindow window;
    // Parallel tests may take a port between the probe and the start.
    EXPECT_GE(window.Port(), expected);
    EXPECT_TRUE(window.StartUrl().toString().endsWith("?localPort=" + QString::number(window.Port())));
    apptest::BridgeClient client;
    EXPECT_TRUE(client.Connect(window.Port()));
}

// A message over 16 MiB closes its socket with 1009 as soon as its header
// arrives (nothing is buffered or handled); the bridge serves others on.
TEST_F(SecurityTest, AnOversizedMessageClosesItsSocket) {
    QTcpSocket raw;
    raw.connectToHost(QHostAddress::LocalHost, window->Port());
    ASSERT_TRUE(raw.waitForConnected(5000));
    raw.write("GET / HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(window->Port()) +
              "\r\nUpgrade: websocket\r\nConnection: Upgrade\r\nSec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n"
              "Sec-WebSocket-Version: 13\r\n\r\n");
    QByteArray received;
    ASSERT_TRUE(apptest::WaitUntil([&] {
        received += raw.readAll();
        return received.contains("\r\n\r\n");
    }));
    ASSERT_TRUE(received.startsWith("HTTP/1.1 101"));
    received = received.mid(received.indexOf("\r\n\r\n") + 4);
    // A masked text frame that announces 16 MiB + 1 bytes, and its first bytes.
    const quint64 length = app::WebSocketChannel::kMaxMessageBytes + 1;
    QByteArray frame("\x81\xFF", 2);
    for (int shift = 56; shift >= 0; shift -= 8) frame.append(static_cast<char>((length >> shift) & 0xFF));
    frame.append("\x01\x02\x03\x04", 4);
    frame.append(QByteArray(4096, 'x'));
    raw.write(frame);
    ASSERT_TRUE(apptest::WaitUntil([&] {
        received += raw.readAll();
        return received.size() >= 4;
    }));
    EXPECT_EQ(static_cast<unsigned char>(received[0]), 0x88);  // close frame
    EXPECT_EQ(static_cast<unsigned char>(received[2]), 0x03);  // code 1009: too much data
    EXPECT_EQ(static_cast<unsigned char>(received[3]), 0xF1);

    const QString header = R"({"action":"appLoadingCallback","actionId":")";
    auto fine = Client();
    fine->SendText(header + QString(1024 * 1024, QLatin1Char('y')) + R"("})");
    QJsonObject echo;
    ASSERT_TRUE(fine->Next(echo, 30000));
    EXPECT_EQ(echo.value("actionId").toString().size(), 1024 * 1024);
}

// Connections beyond the bound are closed at once; closing one makes room.
TEST_F(SecurityTest, ConnectionsBeyondTheBoundAreRefused) {
    const int before = window->Channel()->ConnectionCount();
    std::list<std::unique_ptr<apptest::BridgeClient>> clients;
    for (int i = before; i < app::WebSocketChannel::kMaxConnections; ++i) clients.push_back(Client());
    ASSERT_TRUE(apptest::WaitUntil([&] {
        return window->Channel()->ConnectionCount() == app::WebSocketChannel::kMaxConnections;
    }));
    apptest::BridgeClient extra;
    extra.Connect(window->Port());
    EXPECT_TRUE(extra.WaitClosed(10000));
    EXPECT_EQ(window->Channel()->ConnectionCount(), app::WebSocketChannel::kMaxConnections);
    clients.front()->Close();
    clients.pop_front();
    ASSERT_TRUE(apptest::WaitUntil([&] {
        return window->Channel()->ConnectionCount() == app::WebSocketChannel::kMaxConnections - 1;
    }));
    auto last = Client();
    last->Send(Obj({{"action", "appLoadingCallback"}, {"actionId", "room"}}));
    QJsonObject echo;
    EXPECT_TRUE(last->Next(echo));
}

}  // namespace
