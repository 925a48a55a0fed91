#include "host/download_manager.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QNetworkRequest>
#include <QSslConfiguration>
#include <QUrl>

#include <memory>

#include "context/app_context.h"

namespace app {

QMap<QString, QPointer<QNetworkReply>>& DownloadManager::Map() {
    static QMap<QString, QPointer<QNetworkReply>> map;
    return map;
}

QNetworkReply* DownloadManager::Running(const QString& url) { return Map().value(url); }

QNetworkReply* DownloadManager::download(const QString& url, const QString& directory, const QString& fileName,
                                         ProgressCallback progress) {
    const QUrl target = QUrl::fromUserInput(url);
    if (!target.isValid()) {
        return nullptr;
    }
    QDir dir(directory);
    if (!dir.exists()) {
        dir.mkpath(QStringLiteral("."));
    }
    const QString path = directory + "/" + fileName;
    if (QFile::exists(path)) {
        QFile::remove(path);
    }
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::WriteOnly)) {
        qWarning().noquote() << QStringLiteral("Unable to save the file %1: %2.")
                                    .arg(QDir::toNativeSeparators(path), file->errorString());
        return nullptr;
    }

    QNetworkRequest request(target);
    QSslConfiguration ssl = QSslConfiguration::defaultConfiguration();
    ssl.setProtocol(QSsl::AnyProtocol);
    ssl.setPeerVerifyMode(QSslSocket::VerifyPeer);
    request.setSslConfiguration(ssl);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    QNetworkReply* reply = AppContext::Network()->get(request);
    Map().insert(url, reply);

    // The file belongs to the reply; both go when the transfer ends.
    QFile* out = file.release();
    out->setParent(reply);
    QObject* context = AppContext::MainWindow() ? static_cast<QObject*>(AppContext::MainWindow()) : reply;

    QObject::connect(reply, &QNetworkReply::readyRead, context, [reply, out] { out->write(reply->readAll()); });
    // Qt may report the final size twice (data complete, then finished): the
    // page hears of completion once.
    auto completed = std::make_shared<bool>(false);
    QObject::connect(reply, &QNetworkReply::downloadProgress, context,
                     [reply, out, progress, completed](qint64 received, qint64 total) {
                         if (total == 0 || *completed) {
                             return;  // nothing to report for an empty body
                         }
                         const double percent = static_cast<double>(received) / static_cast<double>(total) * 100.0;
                         if (percent != 100.0) {
                             qDebug() << "downdLoadding:" << received << total << ":" << percent;
                             if (progress) progress(percent, false);
                             return;
                         }
                         // Everything received: put it on disk before the page may open it.
                         out->write(reply->readAll());
                         out->flush();
                         *completed = true;
                         qDebug() << "downdSuccess:" << received << total << ":" << percent;
                         if (progress) progress(percent, true);
                     });
    QObject::connect(reply, &QNetworkReply::finished, context, [reply, out, url, path] {
        qDebug() << "downdLoadSuccess:";
        out->write(reply->readAll());
        out->close();
        if (reply->error() != QNetworkReply::NoError) {
            QFile::remove(path);
            qWarning().noquote() << QStringLiteral("Download failed: %1.").arg(reply->errorString());
        }
        if (Map().value(url) == reply) {
            Map().remove(url);
        }
        reply->deleteLater();
    });
    return reply;
}

}  // namespace app
