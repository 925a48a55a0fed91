// Downloads with progress from a local HTTPS server, through the bridge.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <QSslConfiguration>
#include <QTemporaryDir>

#include "host/download_manager.h"
#include "https_server.h"
#include "log_capture.h"
#include "main_window_fixture.h"
#include "wait.h"

using apptest::Obj;

namespace {

class DownloadTest : public apptest::MainWindowTest {
protected:
    static void SetUpTestSuite() {
        s_dir = std::make_unique<QTemporaryDir>();
        s_trusted = apptest::MakeTestCertificate(s_dir->path());
        QDir().mkpath(s_dir->path() + "/other");
        s_untrusted = apptest::MakeTestCertificate(s_dir->path() + "/other");
        QSslConfiguration conf = QSslConfiguration::defaultConfiguration();
        QList<QSslCertificate> cas = conf.caCertificates();
        cas.append(s_trusted.certificate);
        conf.setCaCertificates(cas);
        QSslConfiguration::setDefaultConfiguration(conf);
    }
    static void TearDownTestSuite() { s_dir.reset(); }

    void SetUp() override {
        apptest::MainWindowTest::SetUp();
        ASSERT_TRUE(s_trusted.Valid() && s_untrusted.Valid()) << "openssl could not make certificates";
        body = QByteArray(200 * 1024, 'x');
        for (int i = 0; i < body.size(); i += 97) body[i] = static_cast<char>('a' + i % 26);
    }

    // Runs one download and returns every progress message.
    QList<QJsonObject> Download(apptest::HttpsServer& server, const QString& name) {
        auto c = Client();
        const QString url = server.Url("/" + name);
        c->Send(Obj({{"action", "downloadGame"}, {"actionId", "dl"}, {"appName", name}, {"downloadUrl", url}}));
        // Once the flush marker is echoed the download has been started.
        QList<QJsonObject> messages = c->Flush();
        EXPECT_TRUE(apptest::WaitUntil([&] { return app::DownloadManager::Running(url) == nullptr; }, 15000));
        messages += c->Flush();
        return messages;
    }

    QString Target(const QString& name) const { return QCoreApplication::applicationDirPath() + "/temp/" + name + ".exe"; }
    QString UniqueName(const char* base) const { return QStringLiteral("%1-%2").arg(base).arg(::getpid()); }

    static std::unique_ptr<QTemporaryDir> s_dir;
    static apptest::TestCertificate s_trusted;
    static apptest::TestCertificate s_untrusted;
    QByteArray body;
};

std::unique_ptr<QTemporaryDir> DownloadTest::s_dir;
apptest::TestCertificate DownloadTest::s_trusted;
apptest::TestCertificate DownloadTest::s_untrusted;

TEST_F(DownloadTest, ReportsRisingProgressThenCompletionAndKeepsTheFile) {
    apptest::HttpsServer server(s_trusted);
    server.SetBody(body, true, body.size() / 4, 150);
    ASSERT_NE(server.Start(), 0);
    const QString name = UniqueName("game");
    const QList<QJsonObject> messages = Download(server, name);
    ASSERT_GE(messages.size(), 2);
    double last = -1;
    for (int i = 0; i + 1 < messages.size(); ++i) {
        EXPECT_EQ(messages[i].value("actionId").toString(), "dl");
        EXPECT_FALSE(messages[i].value("completed").toBool());
        const double progress = messages[i].value("progress").toDouble();
        EXPECT_GE(progress, last);
        EXPECT_LT(progress, 100.0);
        last = progress;
    }
    EXPECT_TRUE(messages.last().value("completed").toBool());  // once, at the end
    EXPECT_EQ(messages.last().value("progress").toDouble(), 100.0);
    QFile file(Target(name));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), body);
    file.remove();
}

// Qt learns the size when the body ends and then reports it once as 100 %.
TEST_F(DownloadTest, WithoutATotalSizeProgressIsNegativeUntilTheBodyEnds) {
    apptest::HttpsServer server(s_trusted);
    server.SetBody(body, false, body.size() / 4, 150);
    ASSERT_NE(server.Start(), 0);
    const QString name = UniqueName("nosize");
    const QList<QJsonObject> messages = Download(server, name);
    ASSERT_GE(messages.size(), 2);
    for (int i = 0; i + 1 < messages.size(); ++i) {
        EXPECT_FALSE(messages[i].value("completed").toBool());
        EXPECT_LT(messages[i].value("progress").toDouble(), 0.0);
    }
    EXPECT_TRUE(messages.last().value("completed").toBool());
    QFile file(Target(name));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), body);
    file.remove();
}

TEST_F(DownloadTest, AnUntrustedCertificateFailsAndLeavesNoFile) {
    apptest::HttpsServer server(s_untrusted);
    server.SetBody(body, true);
    ASSERT_NE(server.Start(), 0);
    apptest::LogCapture log;
    const QString name = UniqueName("untrusted");
    const QList<QJsonObject> messages = Download(server, name);
    for (const QJsonObject& m : messages) EXPECT_FALSE(m.value("completed").toBool());
    EXPECT_FALSE(QFile::exists(Target(name)));
    EXPECT_TRUE(log.Contains("Download failed:"));
}

TEST_F(DownloadTest, SavesImagesUnderLocalImg) {
    apptest::HttpsServer server(s_trusted);
    server.SetBody(QByteArray("\x89PNG fake image"), true);
    ASSERT_NE(server.Start(), 0);
    auto c = Client();
    const QString name = UniqueName("shot");
    const QString url = server.Url("/img");
    c->Send(Obj({{"action", "saveImgToLocal"}, {"actionId", "img"}, {"imgUrl", url}, {"fileName", name},
                 {"fileSuffix", "png"}}));
    QJsonObject done;
    ASSERT_TRUE(c->Next(done, 15000));
    EXPECT_TRUE(done.value("completed").toBool());
    EXPECT_EQ(done.value("actionId").toString(), "img");
    ASSERT_TRUE(apptest::WaitUntil([&] { return app::DownloadManager::Running(url) == nullptr; }));
    const QString path = QCoreApplication::applicationDirPath() + "/localImg/" + name + ".png";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("\x89PNG fake image"));
    file.remove();
}

}  // namespace
