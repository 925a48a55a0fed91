#pragma once
// Process-wide identity and settings of the desktop client: the brand's
// names, the front-end URL, the settings store, the shared network manager
// and the main window pointer. GUI thread only.
#include <QNetworkAccessManager>
#include <QSettings>
#include <QString>
#include <QWidget>

namespace app {

class AppContext {
public:
    static QString ApplicationName();
    static void SetApplicationName(const QString& name);
    static QString WindowTitle();
    static void SetWindowTitle(const QString& title);
    static QString ApplicationId();
    static void SetApplicationId(const QString& id);
    static QString FrontendUrl();
    static void SetFrontendUrl(const QString& url);

    // The settings store; OpenSettings replaces it with an INI file at path.
    static QSettings* Settings();
    static void OpenSettings(const QString& path);

    // One manager for every download; owned by the application object.
    static QNetworkAccessManager* Network();

    static QWidget* MainWindow();
    static void SetMainWindow(QWidget* window);
};

}  // namespace app
