#pragma once
// Opening local files, folders and web addresses with the desktop's default
// handler (the shell "open" verb).
#include <QString>
#include <QUrl>

#include "platform/platform_api.h"

namespace platform {

// Turns a path written with '\\' or mixed separators into a clean local path.
PLATFORM_API QString ToLocalPath(const QString& path);

// Opens the file or folder at path. 0 when the desktop accepted it.
PLATFORM_API int OpenLocalPath(const QString& path);

// Opens url in the default browser (or the handler of its scheme).
PLATFORM_API int OpenUrl(const QUrl& url);

}  // namespace platform
