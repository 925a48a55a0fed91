#include "host/regedit_utils.h"

#include <QDebug>

#include "platform/auto_start.h"
#include "platform/config_value.h"
#include "context/app_context.h"

namespace app {
namespace {

bool IsRunKey(const QString& key) { return key.compare(RegeditUtils::RunKey(), Qt::CaseInsensitive) == 0; }

// "HKEY_LOCAL_MACHINE\\SOFTWARE\\corvoYunBox" -> "corvoYunBox"
std::string FolderOf(const QString& key) { return key.section('\\', -1).toStdString(); }

}  // namespace

const char* RegeditUtils::RunKey() { return "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"; }

QString RegeditUtils::query(const QString& key, const QString& valueName) {
    const std::string name = valueName.toStdString();
    const std::string data =
        IsRunKey(key) ? platform::AutoStartCommand(name) : platform::ReadConfigValue(FolderOf(key), name);
    return QString::fromStdString(data);
}

int RegeditUtils::add(const QString& key, const QString& valueName, const QString& data) {
    const std::string name = valueName.toStdString();
    const int rc = IsRunKey(key)
                       ? platform::EnableAutoStart(name, AppContext::WindowTitle().toStdString(), data.toStdString())
                       : platform::WriteConfigValue(FolderOf(key), name, data.toStdString());
    if (rc != 0) {
        qWarning().noquote() << "reg add failed:" << key << valueName;
    } else {
        qInfo().noquote() << "reg add:" << key << valueName << data;
    }
    return rc;
}

void RegeditUtils::remove(const QString& key, const QString& valueName) {
    const std::string name = valueName.toStdString();
    if (IsRunKey(key)) {
        platform::DisableAutoStart(name);
    } else {
        platform::RemoveConfigValue(FolderOf(key), name);
    }
}

}  // namespace app
