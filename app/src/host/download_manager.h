#pragma once
// Downloads one URL into a file, reporting progress to a callback. Runs on the
// GUI thread through the shared network manager; the server's certificate is
// verified.
#include <QMap>
#include <QNetworkReply>
#include <QPointer>
#include <QString>

#include <functional>

namespace app {

class DownloadManager {
public:
    // percent as received / total × 100 (negative when the size is unknown),
    // completed once it reaches 100.
    using ProgressCallback = std::function<void(double percent, bool completed)>;

    // Starts the transfer; returns the reply, or null when the URL is invalid
    // or the file cannot be opened (the callback is then never called).
    static QNetworkReply* download(const QString& url, const QString& directory, const QString& fileName,
                                   ProgressCallback progress);

    // The running download of url, if any.
    static QNetworkReply* Running(const QString& url);

private:
    static QMap<QString, QPointer<QNetworkReply>>& Map();
};

}  // namespace app
