#include "host/host_info.h"

#include <QCryptographicHash>
#include <QDebug>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkConfigurationManager>
#include <QNetworkInterface>
#include <QSysInfo>

#include "platform/config_value.h"
#include "platform/processor_id.h"
#include "context/app_context.h"

namespace app {
namespace {

QString SdkParam(const QString& key) {
    const std::string raw = platform::ReadConfigValue(AppContext::ApplicationName().toStdString(), "sdkParam");
    return HostInfo::SdkParamField(QByteArray::fromStdString(raw), key);
}

}  // namespace

QString HostInfo::SdkParamField(const QByteArray& base64, const QString& key) {
    const QByteArray text = QByteArray::fromBase64(base64.simplified()).simplified();
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) {
        return QString();
    }
    const QJsonValue value = doc.object().value(key);
    if (value.isString()) {
        return value.toString();
    }
    if (value.isUndefined()) {
        return QString();
    }
    return QString::number(static_cast<qint64>(value.toDouble()));
}

QString HostInfo::PromoteId() { return SdkParam(QStringLiteral("promoteId")); }
QString HostInfo::AppChannelId() { return SdkParam(QStringLiteral("app_id")); }

QString HostInfo::ProcessorId() { return QString::fromStdString(platform::ProcessorId()); }

QString HostInfo::MacAddress() {
    QString mac;
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& nif : interfaces) {
        qDebug().noquote() << "interface" << nif.name() << nif.hardwareAddress();
        const auto flags = nif.flags();
        if (flags.testFlag(QNetworkInterface::IsUp) && flags.testFlag(QNetworkInterface::IsRunning) &&
            !flags.testFlag(QNetworkInterface::IsLoopBack)) {
            mac = nif.hardwareAddress();
        }
    }
    return mac;
}

QString HostInfo::FingerprintOf(const QString& processorId, const QString& mac) {
    return QString::fromLatin1(
        QCryptographicHash::hash((processorId + mac).toUtf8(), QCryptographicHash::Md5).toHex());
}

QString HostInfo::Fingerprint() { return FingerprintOf(ProcessorId(), MacAddress()); }

QString HostInfo::OsName() { return QSysInfo::prettyProductName(); }

QString HostInfo::NetworkKind() {
    QNetworkConfigurationManager manager;
    return manager.isOnline() ? QStringLiteral("WiFi") : QStringLiteral("有线");
}

}  // namespace app
