#include "device/capture_choice.h"

#include <QSettings>

#include "capture/device_producers.h"
#include "capture/synthetic_producers.h"
#include "context/app_context.h"

namespace app {

namespace {

const char kOff[] = "off";
const char kSynthetic[] = "synthetic";

QString Configured(const char* key) {
    QSettings* settings = AppContext::Settings();
    return settings ? settings->value(QStringLiteral("capture/") + QLatin1String(key)).toString().trimmed() : QString();
}

}  // namespace

CaptureChoice ReadCaptureChoice() {
    CaptureChoice choice;
    choice.camera = Configured("camera");
    if (choice.camera.isEmpty()) {
        choice.camera = capture::ListCameras().empty() ? QString::fromLatin1(kOff) : QStringLiteral("first");
    }
    choice.microphone = Configured("microphone");
    if (choice.microphone.isEmpty()) {
        choice.microphone = capture::ListMicrophones().empty() ? QString::fromLatin1(kOff) : QStringLiteral("default");
    }
    return choice;
}

std::shared_ptr<capture::ICaptureSource> MakeCameraProducer(const QString& choice) {
    if (choice.isEmpty() || choice == QLatin1String(kOff)) return nullptr;
    if (choice == QLatin1String(kSynthetic)) return std::make_shared<capture::CSyntheticCamera>();
    capture::CV4L2Camera::Options options;
    if (choice != QLatin1String("first")) options.device = choice.toStdString();
    return std::make_shared<capture::CV4L2Camera>(options);
}

std::shared_ptr<capture::ICaptureSource> MakeMicrophoneProducer(const QString& choice) {
    if (choice.isEmpty() || choice == QLatin1String(kOff)) return nullptr;
    if (choice == QLatin1String(kSynthetic)) return std::make_shared<capture::CSyntheticMicrophone>();
    capture::CSdlMicrophone::Options options;
    if (choice != QLatin1String("default")) options.device = choice.toStdString();
    return std::make_shared<capture::CSdlMicrophone>(options);
}

}  // namespace app
