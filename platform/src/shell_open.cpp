#include "platform/shell_open.h"

#include <QDesktopServices>
#include <QDir>

namespace platform {

QString ToLocalPath(const QString& path) {
    QString unix = path;
    unix.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return QDir::cleanPath(unix);
}

int OpenLocalPath(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(ToLocalPath(path))) ? 0 : -1;
}

int OpenUrl(const QUrl& url) {
    return url.isValid() && QDesktopServices::openUrl(url) ? 0 : -1;
}

}  // namespace platform
