// Starts the main window on the front end, waits until the page has loaded
// and settled, and saves the window as a PNG.
//   tessivoYunBoxShot <out.png> [front-end URL] [settle ms]
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

#include <cstdio>

#include "context/app_context.h"
#include "context/brand.h"
#include "startup/startup.h"
#include "window/main_window.h"
#include "window/my_web_view.h"

namespace {

bool Save(app::MainWindow& window, const QString& path) {
    QPixmap shot;
    if (QScreen* screen = window.screen(); screen && QGuiApplication::platformName() == QLatin1String("xcb")) {
        shot = screen->grabWindow(window.winId());
    }
    if (shot.isNull()) {
        shot = window.grab();
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    return shot.save(path, "PNG");
}

}  // namespace

int main(int argc, char** argv) {
    app::ConfigureProcess();
    QApplication application(argc, argv);
    app::ConfigureApplication();
    const QStringList args = QCoreApplication::arguments();
    const QString out = args.value(1, QStringLiteral("screenshot/main-window.png"));
    const int settleMs = args.value(3, QStringLiteral("3000")).toInt();

    app::ChooseBrand({args.value(0)});
    if (args.size() > 2 && !args.at(2).isEmpty()) {
        app::AppContext::SetFrontendUrl(args.at(2));
    }
    app::AppContext::OpenSettings(QDir::tempPath() + "/tessivoYunBoxShot.ini");

    app::MainWindow window;
    window.show();
    int result = 1;
    auto finish = [&](bool loaded) {
        const QString path = QFileInfo(out).absoluteFilePath();
        if (Save(window, path)) {
            std::printf("screenshot saved to %s%s\n", path.toUtf8().constData(), loaded ? "" : " (page did not load)");
            result = loaded ? 0 : 1;
        } else {
            std::fprintf(stderr, "could not save %s\n", path.toUtf8().constData());
        }
        std::fflush(stdout);
        QCoreApplication::exit(result);
    };
    QObject::connect(window.WebView(), &QWebEngineView::loadFinished, &window, [&, settleMs](bool ok) {
        QTimer::singleShot(settleMs, &window, [&, ok] { finish(ok); });
    });
    QTimer::singleShot(45000, &window, [&] { finish(false); });
    application.exec();
    return result;
}
