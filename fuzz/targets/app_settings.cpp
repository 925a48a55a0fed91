// The desktop client's settings file (configuration.ini): each input is
// written as the file and opened the way the program opens it; every key is
// read, then a value is stored the way the page's store action stores it and
// must read back the same from a fresh open.
#include <cstdint>
#include <fstream>
#include <string>

#include <QCoreApplication>
#include <QSettings>
#include <QString>
#include <QStringList>

#include "fuzz_support.h"
#include "context/app_context.h"

namespace {

const QString& SettingsPath() {
    static const QString path = QString::fromStdString(
        (fuzz_support::ProcessTempFolder("fuzz_app_settings") / "configuration.ini").string());
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString& path = SettingsPath();
    {
        std::ofstream out(path.toStdString(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    app::AppContext::OpenSettings(path);
    QSettings* settings = app::AppContext::Settings();
    QString last;
    for (const QString& key : settings->allKeys()) last = settings->value(key).toString();
    settings->value(QStringLiteral("closeFunc")).toInt();
    // A value stored by the page, next to whatever the file held.
    settings->setValue(QStringLiteral("fuzzStored"), last);
    settings->sync();
    // A file Qt cannot read as INI is left as it is rather than overwritten.
    if (settings->status() != QSettings::NoError) return 0;
    app::AppContext::OpenSettings(path);
    if (app::AppContext::Settings()->value(QStringLiteral("fuzzStored")).toString() != last) __builtin_trap();
    return 0;
}
