// Records seed corpora of the desktop client's own files and bridge messages:
// key schemes as the key-mapping editor stores them, the settings file as the
// page's store action writes it, and the messages the local cloud's front end
// sends over the bridge.
//   fuzz_capture_app <corpus root>     (usually fuzz/corpus)
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <QApplication>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QWebSocket>

#include "bridge/web_socket_channel.h"
#include "corpus_writer.h"
#include "keymap/key_scheme_json.h"
#include "context/app_context.h"

namespace {

std::string Utf8(const QByteArray& bytes) { return std::string(bytes.constData(), static_cast<size_t>(bytes.size())); }

void CaptureKeySchemes(fuzz_capture::CorpusWriter& corpus) {
    app::KeySetData empty;
    empty.schemeName = QStringLiteral("Empty");
    corpus.Write("key_scheme_json", "empty", Utf8(app::KeySchemeToJson(empty)));

    app::KeySetData game;
    game.index = 1;
    game.schemeName = QStringLiteral("射击 scheme");
    game.wheel = {120, 330, 160, 160, true, QStringLiteral("W"), QStringLiteral("S"), QStringLiteral("A"),
                  QStringLiteral("D")};
    game.keys.append({QStringLiteral("Space"), 700, 400, 48, 48});
    game.keys.append({QStringLiteral("J"), 640, 360, 48, 48});
    game.keys.append({QStringLiteral("F1"), 40, 40, 36, 36});
    corpus.Write("key_scheme_json", "wheel-and-keys", Utf8(app::KeySchemeToJson(game)));

    app::KeySetData portrait;
    portrait.index = 2;
    portrait.schemeName = QStringLiteral("Portrait");
    portrait.keys.append({QStringLiteral("Q"), 236, 700, 48, 48});
    corpus.Write("key_scheme_json", "keys-only", Utf8(app::KeySchemeToJson(portrait)));
}

// The messages the front end sends (see tools/cloudsim/web/js/app.js and bridge.js).
std::vector<std::pair<std::string, std::string>> FrontEndMessages() {
    return {
        {"app-loading", R"({"action":"appLoadingCallback","status":"ready"})"},
        {"callback-register", R"({"action":"handleAppFunctionCallback","actionId":"main-callback"})"},
        {"send-app-data",
         R"({"action":"sendAppData","winId":"main","data":{"type":"state","instanceNo":"phone-1","playing":true}})"},
        {"yun-view-data", R"({"action":"sendDataFromYunViewToMainView","winId":"phone-1","data":"closed"})"},
        {"store-get", R"({"action":"operateLocalStore","type":2,"key":"closeFunc","actionId":"operateLocalStore-3"})"},
        {"store-set", R"({"action":"operateLocalStore","type":1,"key":"closeFunc","value":"1","actionId":"s-4"})"},
        {"store-set-number", R"({"action":"operateLocalStore","type":1,"key":"volume","value":12.5})"},
        {"store-clear", R"({"action":"operateLocalStore","type":3,"key":"closeFunc"})"},
        {"app-info", R"({"action":"getAppInfo","actionId":"getAppInfo-1"})"},
        {"is-auto-open", R"({"action":"isAutoOpenApp","actionId":"isAutoOpenApp-2"})"},
        {"drag-start", R"({"action":"dragStart"})"},
        {"drag-stop", R"({"action":"dragStop"})"},
        {"minimize", R"({"action":"minimizeApp"})"},
        {"full-screen", R"({"action":"fullScreenMainWin","full":true})"},
        {"show-main", R"({"action":"showMainWin"})"},
        {"resize-main",
         R"({"action":"reSizeMainWin","width":1280,"height":800,"minWidth":960,"minHeight":600,"maxWidth":3840,"maxHeight":2160})"},
        {"close-app", R"({"action":"closeApp"})"},
        {"close-device", R"({"action":"closeYunDeviceDialog","winId":"phone-1"})"},
        {"close-sync-device", R"({"action":"closeSyncYunDeviceDialog"})"},
        {"unknown-action", R"({"action":"noSuchAction","x":[1,2,3]})"},
    };
}

void CaptureBridgeAndSettings(fuzz_capture::CorpusWriter& corpus) {
    const auto folder = std::filesystem::temp_directory_path() / ("fuzz_capture_app." + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const QString settingsPath = QString::fromStdString((folder / "configuration.ini").string());
    app::AppContext::OpenSettings(settingsPath);
    app::WebSocketChannel channel;
    channel.SetQuitFunction([] {});
    QWebSocket socket;
    for (const auto& [name, text] : FrontEndMessages()) {
        corpus.Write("app_bridge", name, text);
        channel.Dispatch(QString::fromStdString(text), &socket);
    }
    // Values of several kinds, stored by the page, then the file as written.
    for (const char* text :
         {R"({"action":"operateLocalStore","type":1,"key":"closeFunc","value":"2"})",
          R"({"action":"operateLocalStore","type":1,"key":"lastUser","value":"演示 user, \"quoted\""})",
          R"({"action":"operateLocalStore","type":1,"key":"group/item","value":"a=b;c"})"}) {
        channel.Dispatch(QString::fromUtf8(text), &socket);
    }
    app::AppContext::Settings()->sync();
    QFile file(settingsPath);
    if (file.open(QIODevice::ReadOnly)) corpus.Write("app_settings", "stored-by-page", Utf8(file.readAll()));
    corpus.Write("app_settings", "empty", "");
    std::filesystem::remove_all(folder);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus root>\n", argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    fuzz_capture::CorpusWriter corpus(argv[1]);
    CaptureKeySchemes(corpus);
    CaptureBridgeAndSettings(corpus);
    std::printf("capture: %d seed files written\n", corpus.Count());
    return 0;
}
