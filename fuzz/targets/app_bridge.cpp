// Messages from the page through the bridge's action table, without windows:
// each input is one text message handed to the channel's dispatch, as if it
// came from an open socket. Actions that reach outside the process (the
// system browser, auto start, downloads, opening files or folders, new web
// windows, device windows that connect back to a port) are left out; the rest
// run with no main window, a settings file of their own and a quit that does
// nothing.
#include <cstdint>
#include <memory>
#include <string>

#include <QApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QString>
#include <QWebSocket>

#include "bridge/web_socket_channel.h"
#include "fuzz_support.h"
#include "context/app_context.h"

namespace {

bool LeftOut(const QString& action) {
    static const QSet<QString> outside = {
        QStringLiteral("openWeb"),           QStringLiteral("setAutoOpenApp"),
        QStringLiteral("downloadGame"),      QStringLiteral("saveImgToLocal"),
        QStringLiteral("openFileInTemp"),    QStringLiteral("openLocalImgFolder"),
        QStringLiteral("openNewWindow"),     QStringLiteral("showYunDeviceDialog"),
        QStringLiteral("showSyncYunDeviceDialog")};
    return outside.contains(action);
}

struct Bridge {
    std::unique_ptr<app::WebSocketChannel> channel;
    std::unique_ptr<QWebSocket> socket;  // never connected: replies go nowhere
};

Bridge& TheBridge() {
    static Bridge bridge = [] {
        const auto folder = fuzz_support::ProcessTempFolder("fuzz_app_bridge");
        app::AppContext::OpenSettings(QString::fromStdString((folder / "configuration.ini").string()));
        Bridge made;
        made.channel = std::make_unique<app::WebSocketChannel>();
        made.channel->SetQuitFunction([] {});
        made.socket = std::make_unique<QWebSocket>();
        return made;
    }();
    return bridge;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication application(*argc, *argv);
    TheBridge();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString message = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<int>(size));
    const QJsonObject request = QJsonDocument::fromJson(message.toUtf8()).object();
    if (LeftOut(request.value(QStringLiteral("action")).toString())) return 0;
    Bridge& bridge = TheBridge();
    bridge.channel->Dispatch(message, bridge.socket.get());
    QCoreApplication::processEvents();
    return 0;
}
