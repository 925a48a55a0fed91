#include "context/app_context.h"

#include <QCoreApplication>
#include <QPointer>

#include <memory>

namespace app {
namespace {

struct ContextState {
    QString name = QStringLiteral("corvoYunBox");
    QString title = QStringLiteral("corvo云手机");
    QString id = QStringLiteral("com.corvoYun.box");
    QString frontendUrl;
    std::unique_ptr<QSettings> settings;
    QPointer<QNetworkAccessManager> network;
    QPointer<QWidget> mainWindow;
};

ContextState& State() {
    static ContextState state;
    return state;
}

}  // namespace

QString AppContext::ApplicationName() { return State().name; }
void AppContext::SetApplicationName(const QString& name) { State().name = name; }
QString AppContext::WindowTitle() { return State().title; }
void AppContext::SetWindowTitle(const QString& title) { State().title = title; }
QString AppContext::ApplicationId() { return State().id; }
void AppContext::SetApplicationId(const QString& id) { State().id = id; }
QString AppContext::FrontendUrl() { return State().frontendUrl; }
void AppContext::SetFrontendUrl(const QString& url) { State().frontendUrl = url; }

QSettings* AppContext::Settings() {
    ContextState& state = State();
    if (!state.settings) {
        OpenSettings(QCoreApplication::applicationDirPath() + "/configuration.ini");
    }
    return state.settings.get();
}

void AppContext::OpenSettings(const QString& path) {
    State().settings = std::make_unique<QSettings>(path, QSettings::IniFormat);
}

QNetworkAccessManager* AppContext::Network() {
    ContextState& state = State();
    if (!state.network) {
        state.network = new QNetworkAccessManager(QCoreApplication::instance());
    }
    return state.network;
}

QWidget* AppContext::MainWindow() { return State().mainWindow; }
void AppContext::SetMainWindow(QWidget* window) { State().mainWindow = window; }

}  // namespace app
