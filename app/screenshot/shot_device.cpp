// Plays a phone of an in-process local cloud in a device window, then opens
// the key-mapping editor with a few markers, and saves both as PNG files.
//   tessivoYunBoxDeviceShot <out dir> [Lumet|Kovra]
#include <stdlib.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QJsonObject>
#include <QScreen>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>

#include "cloudsim/cloud_sim.h"
#include "device/device_opener.h"
#include "device/kovra_yun_base_view.h"
#include "keymap/base_key_setting_dialog.h"
#include "keymap/key_set_view.h"
#include "keymap/wheel_view.h"
#include "context/app_context.h"
#include "context/brand.h"
#include "startup/startup.h"

namespace {

void Wait(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
}

bool Grab(QWidget* widget, const QString& path) {
    const QPoint at = widget->mapToGlobal(QPoint(0, 0));
    QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0, at.x(), at.y(), widget->width(), widget->height());
    if (shot.isNull()) shot = widget->grab();
    const bool ok = shot.save(path, "PNG");
    std::printf("%s %s\n", ok ? "saved" : "could not save", path.toUtf8().constData());
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    app::ConfigureProcess();
    QApplication application(argc, argv);
    app::ConfigureApplication();
    const QStringList args = QCoreApplication::arguments();
    const QString outDir = QFileInfo(args.value(1, "screenshot")).absoluteFilePath();
    QDir().mkpath(outDir);
    QTemporaryDir work;
    QDir::setCurrent(work.path());
    app::ChooseBrand({args.value(0)});
    app::AppContext::OpenSettings(work.path() + "/configuration.ini");

    cloudsim::CloudOptions options;
    options.logLevel = 60;
    cloudsim::CloudSim cloud(options);
    if (cloud.Start() != 0) {
        std::fprintf(stderr, "the local cloud did not start\n");
        return 1;
    }
    ::setenv("TESSIVO_PLATFORM_URL", cloud.HttpsUrl().c_str(), 1);
    ::setenv("TESSIVO_STAT_URL", cloud.HttpsUrl().c_str(), 1);
    app::InstallDeviceViews();
    const QJsonObject request{{"winId", "CP-DEMO-0001"},      {"userId", "demo-user"},
                              {"deviceId", "CP-DEMO-0001"},   {"channelAppId", "demo-access-key"},
                              {"channelSecret", "demo-secret-key"}, {"channel", "Lumet"},
                              {"quality", 1},                 {"orientation", 0}};
    app::KovraYunBaseView* view = app::OpenDeviceView(request);
    if (!view) return 1;
    Wait(8000);  // connect, first frame, a few seconds of stream
    bool ok = Grab(view, outDir + "/device-window.png");

    QMetaObject::invokeMethod(view->Ui().keyButton, "pressed");
    Wait(500);
    app::BaseKeySettingDialog* editor = view->KeyEditor();
    const QPoint spots[] = {{330, 560}, {380, 470}, {300, 650}};
    const char* keys[] = {"j", "k", "l"};
    for (int i = 0; i < 3; ++i) {
        app::KeySetView* marker = editor->AddKeyMarker();
        marker->releaseMouse();
        marker->SetCenter(spots[i] + QPoint(0, 40));
        marker->Edit()->setText(keys[i]);
    }
    editor->ShowWheel();
    editor->Wheel()->releaseMouse();
    editor->Wheel()->SetCenter(QPoint(110, 600 + 40));
    Wait(800);
    ok = Grab(editor, outDir + "/key-mapping-editor.png") && ok;
    editor->close();
    view->close();
    Wait(300);
    return ok ? 0 : 1;
}
