// Downloads into the program's folders and opening what they hold.
#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QJsonDocument>
#include <QPointer>

#include "bridge/bridge_io.h"
#include "bridge/web_socket_channel.h"
#include "host/download_manager.h"
#include "platform/shell_open.h"

namespace app {
namespace {

QString AppDir() { return QCoreApplication::applicationDirPath(); }

// Starts a download whose progress goes back to the requesting socket.
void DownloadWithProgress(const QJsonObject& request, QWebSocket* socket, const QString& url, const QString& dir,
                          const QString& name, const QString& suffix) {
    if (!IsSafeFileName(name) || !IsSafeFileName(suffix)) {
        qWarning().noquote() << "refused file name" << name << suffix;
        return;
    }
    const QString fileName = QStringLiteral("%1.%2").arg(name, suffix);
    const QJsonValue actionId = request.value(QStringLiteral("actionId"));
    QPointer<QWebSocket> target(socket);
    DownloadManager::download(url, dir, fileName, [target, actionId](double percent, bool completed) {
        QJsonObject message;
        message.insert(QStringLiteral("actionId"), actionId);
        message.insert(QStringLiteral("completed"), completed);
        message.insert(QStringLiteral("progress"), completed ? 100.0 : percent);
        SendJson(target, message, true);
    });
}

void DownloadGame(QJsonObject request, QWebSocket* socket) {
    qDebug().noquote() << "downloadGame" << QJsonDocument(request).toJson(QJsonDocument::Compact);
    DownloadWithProgress(request, socket, ReadText(request, QStringLiteral("downloadUrl")), AppDir() + "//temp",
                         ReadText(request, QStringLiteral("appName")), QStringLiteral("exe"));
}

void SaveImgToLocal(QJsonObject request, QWebSocket* socket) {
    DownloadWithProgress(request, socket, ReadText(request, QStringLiteral("imgUrl")), AppDir() + "/localImg",
                         ReadText(request, QStringLiteral("fileName")), ReadText(request, QStringLiteral("fileSuffix")));
}

void OpenFileInTemp(QJsonObject request, QWebSocket*) {
    const QString name = ReadText(request, QStringLiteral("fileName"));
    if (!IsSafeFileName(name)) {
        qWarning().noquote() << "refused file name" << name;
        return;
    }
    platform::OpenLocalPath(AppDir() + "\\temp\\" + name);
}

void OpenLocalImgFolder(QJsonObject, QWebSocket*) {
    QDir().mkpath(AppDir() + "/localImg");
    platform::OpenLocalPath(AppDir() + "\\localImg");
}

}  // namespace

void AddFileActions(ActionTable& table) {
    table.insert(QStringLiteral("downloadGame"), DownloadGame);
    table.insert(QStringLiteral("saveImgToLocal"), SaveImgToLocal);
    table.insert(QStringLiteral("openFileInTemp"), OpenFileInTemp);
    table.insert(QStringLiteral("openLocalImgFolder"), OpenLocalImgFolder);
}

}  // namespace app
