#pragma once
// Which camera and microphone a Lumet device window lends the phone, from
// configuration.ini:
//   [capture]
//   camera=<"off" | "synthetic" | "first" | a device path such as /dev/video0>
//   microphone=<"off" | "synthetic" | "default" | an SDL capture device name>
// Unset means the first camera and the default microphone where the machine
// has one, else off.
#include <QString>

#include <memory>

#include "capture/capture_notify.h"

namespace app {

struct CaptureChoice {
    QString camera;      // as configured, or the default chosen for this machine
    QString microphone;
};

// Reads the [capture] group of the settings store.
CaptureChoice ReadCaptureChoice();

// The producer for a choice; null for "off" (the phone is refused).
std::shared_ptr<capture::ICaptureSource> MakeCameraProducer(const QString& choice);
std::shared_ptr<capture::ICaptureSource> MakeMicrophoneProducer(const QString& choice);

}  // namespace app
