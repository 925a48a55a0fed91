#include "startup/startup.h"

#include <QApplication>
#include <QDebug>

#include <unistd.h>

#include <cstdio>
#include <memory>

#include "device/device_opener.h"
#include "host/system_icon_utils.h"
#include "context/app_context.h"
#include "context/brand.h"
#include "startup/single_instance_guard.h"
#include "window/main_window.h"

#ifndef TESSIVO_APP_VERSION
#define TESSIVO_APP_VERSION "0.0.0.0"
#endif

static void InitAppResources() { Q_INIT_RESOURCE(app); }

namespace app {
namespace {

// Diagnostics go to the Qt debug log and to standard output.
void WriteToStdout(QtMsgType type, const QMessageLogContext&, const QString& message) {
    static const char* const kNames[] = {"debug", "warning", "critical", "fatal", "info"};
    const int index = type >= 0 && type <= 4 ? static_cast<int>(type) : 0;
    std::fprintf(stdout, "[%s] %s\n", kNames[index], message.toUtf8().constData());
    std::fflush(stdout);
}

}  // namespace

void ConfigureProcess() {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX")) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    }
}

void ConfigureApplication() {
    InitAppResources();
    QCoreApplication::setApplicationVersion(QStringLiteral(TESSIVO_APP_VERSION));
    qInstallMessageHandler(WriteToStdout);
}

const char* InstanceKey() { return "corvoYunBox"; }

int RunApplication(int argc, char** argv) {
    ConfigureProcess();
    QApplication application(argc, argv);
    ConfigureApplication();

    static SingleInstanceGuard guard;  // held until the process ends
    if (!guard.Acquire(QString::fromLatin1(InstanceKey()))) {
        QCoreApplication::quit();
        return -1;
    }
    ChooseBrand(QCoreApplication::arguments());
    AppContext::OpenSettings(QCoreApplication::applicationDirPath() + "/configuration.ini");

    InstallDeviceViews();
    auto tray = std::make_unique<SystemIconUtils>();
    auto window = std::make_unique<MainWindow>();
    window->show();
    const int result = application.exec();
    window.reset();
    tray.reset();
    return result;
}

}  // namespace app
