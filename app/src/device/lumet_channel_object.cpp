#include "device/lumet_channel_object.h"

#include <QDebug>
#include <QHBoxLayout>
#include <QLabel>

#include <cstdio>

#include "common/qv_log.h"
#include "capture/threaded_producer.h"
#include "device/capture_choice.h"
#include "device/device_geometry.h"
#include "device/gui_relay.h"
#include "device/lumet_phone_notic.h"
#include "device/lumet_stream_stats.h"
#include "device/yun_device_label.h"
#include "handset_sdk/handset_sdk.h"

namespace app {
namespace {

const char kBuiltInPlatformUrl[] = "https://api.tessivoyun.com";

void CopyField(char (&field)[256], const QString& text) { common::CopyText(field, text.toUtf8().constData()); }

}  // namespace

LumetChannelObject::~LumetChannelObject() { stop(); }

QString LumetChannelObject::PlatformBaseUrl() {
    const QString fromEnv = qEnvironmentVariable("TESSIVO_PLATFORM_URL");
    return fromEnv.isEmpty() ? QString::fromLatin1(kBuiltInPlatformUrl) : fromEnv;
}

void LumetChannelObject::start(int, int, int, int, QWidget* target) {
    if (m_sdk) {
        return;
    }
    m_target = target;
    m_picture = target ? target->findChild<YunDeviceLabel*>(QStringLiteral("yunViewLabel")) : nullptr;
    if (m_picture) {
        m_picture->ReserveForNativeVideo();
    }
    m_sdk = handset_sdk::IHandsetSdk::CreateQVPhone();
    m_notic = std::make_shared<CQVSinglePhoneNotic>();
    m_relay = std::make_shared<GuiRelay>();
    std::shared_ptr<GuiRelay> relay = m_relay;
    CQVSinglePhoneNotic::Callbacks callbacks;
    callbacks.firstFrame = [this, relay] { relay->Post([this] { OnFirstFrame(); }); };
    callbacks.rotation = [this, relay](int rotation) { relay->Post([this, rotation] { OnRotation(rotation); }); };
    callbacks.inputActive = [this, relay](bool active) { relay->Post([this, active] { OnInputActive(active); }); };
    callbacks.camera = [this, relay](bool on) { relay->Post([this, on] { OnCameraSwitch(on); }); };
    callbacks.microphone = [this, relay](bool on) { relay->Post([this, on] { OnMicrophoneSwitch(on); }); };
    m_notic->SetCallbacks(std::move(callbacks));

    handset_sdk::QvDataParam data;
    CopyField(data.baseUrl, PlatformBaseUrl());
    CopyField(data.userId, userId);
    CopyField(data.accessKey, channelAppId);
    CopyField(data.secretKey, channelSecret);
    CopyField(data.instanceNo, deviceId);
    data.mode = 0;
    const handset_sdk::QvPhoneParam video{264, 720, 1280, 30, 2048};
    const handset_sdk::QvSysParam sys{true, 5000, 3000, true, 5000, 5000};
    const handset_sdk::QVOutParam out{true, 0, 4, true, 16, 8, true};
    if (m_sdk->Init(m_notic, &data, &video, &sys, &out) != 0) {
        std::fputs("init failed\n", stdout);
        std::fflush(stdout);
        return;
    }
    if (m_sdk->Start() != 0) {
        std::fputs("Start failed\n", stdout);
        std::fflush(stdout);
    }
}

void LumetChannelObject::stop() {
    if (m_notic) {
        m_notic->ClearCallbacks();
    }
    if (m_relay) {
        m_relay->Close();
    }
    if (m_sdk) {
        m_sdk->Uninit();  // detaches the producers it was lent
        m_sdk.reset();
    }
    m_shown = false;
    m_camera.reset();
    m_microphone.reset();
    m_cameraInUse = false;
    m_micInUse = false;
    ShowCaptureInUse();
}

bool LumetChannelObject::Lend(const std::shared_ptr<capture::ICaptureSource>& source, bool on, const char* what) {
    if (!Running() || !source) {
        if (on) {
            qInfo().noquote() << "capture:" << what << "refused (off in configuration.ini or not available)";
            ++m_refusals;
        }
        return false;
    }
    if (!on) {
        m_sdk->ResetCaptureSource(source);
        return false;
    }
    if (m_sdk->SetCaptureSource(source, nullptr) != 0) {
        const auto threaded = std::dynamic_pointer_cast<capture::CThreadedProducer>(source);
        qWarning().noquote() << "capture:" << what << "cannot start:"
                             << QString::fromStdString(threaded ? threaded->LastError() : std::string());
        ++m_refusals;
        return false;
    }
    return true;
}

void LumetChannelObject::OnCameraSwitch(bool on) {
    if (on && !m_camera) m_camera = MakeCameraProducer(ReadCaptureChoice().camera);
    m_cameraInUse = Lend(m_camera, on, "camera");
    ShowCaptureInUse();
}

void LumetChannelObject::OnMicrophoneSwitch(bool on) {
    if (on && !m_microphone) m_microphone = MakeMicrophoneProducer(ReadCaptureChoice().microphone);
    m_micInUse = Lend(m_microphone, on, "microphone");
    ShowCaptureInUse();
}

// A note in the title bar beside the device id while the phone uses the camera or microphone.
void LumetChannelObject::ShowCaptureInUse() {
    if (!m_captureLabel && m_target && (m_cameraInUse || m_micInUse)) {
        QWidget* titlebar = m_target->findChild<QWidget*>(QStringLiteral("titlebar"));
        auto* layout = titlebar ? qobject_cast<QHBoxLayout*>(titlebar->layout()) : nullptr;
        if (layout) {
            m_captureLabel = new QLabel(titlebar);
            m_captureLabel->setObjectName(QStringLiteral("captureInUseLabel"));
            m_captureLabel->setStyleSheet(QStringLiteral("color:#ff6b5a;"));
            const int after = layout->indexOf(titlebar->findChild<QWidget*>(QStringLiteral("deviceIdLabel")));
            layout->insertWidget(after >= 0 ? after + 1 : 1, m_captureLabel);
        }
    }
    if (!m_captureLabel) return;
    QString text;
    if (m_cameraInUse && m_micInUse) {
        text = QStringLiteral("● 摄像头、麦克风使用中");
    } else if (m_cameraInUse) {
        text = QStringLiteral("● 摄像头使用中");
    } else if (m_micInUse) {
        text = QStringLiteral("● 麦克风使用中");
    }
    m_captureLabel->setText(text);
    m_captureLabel->setVisible(!text.isEmpty());
}

// The picture is the label's own native window: the view's rectangle
// (0, 40, w - 40, h) and its touch points are given relative to it.
void LumetChannelObject::Show(int width, int height, bool turned) {
    if (!m_sdk || !m_picture) {
        return;
    }
    handset_sdk::RECT rect;
    rect.left = 0;
    rect.top = 0;
    rect.right = width - sideBarWidth;
    rect.bottom = height - titleBarHeight;
    m_sdk->StartShow(static_cast<handset_sdk::HWND>(m_picture->winId()), &rect, turned ? 1 : 0);
}

void LumetChannelObject::OnFirstFrame() {
    if (!m_target) {
        return;
    }
    Show(m_target->width(), m_target->height(), false);
    m_shown = true;
}

void LumetChannelObject::displayResized(int width, int height) {
    if (m_shown) {
        Show(width, height, landscape);
    }
}

void LumetChannelObject::OnRotation(int rotation) {
    if (!m_target || (rotation != 0 && rotation != 1)) {
        return;
    }
    setLandscape(rotation == 1);
    TurnViewTo(*m_target, rotation == 1);
}

void LumetChannelObject::OnInputActive(bool active) {
    qInfo().noquote() << "isCursor:" << active;
    m_inputActive = active;
    if (m_inputCallback) {
        m_inputCallback(active);
    }
}

void LumetChannelObject::setInputActiveCallback(std::function<void(bool)> callback) {
    m_inputCallback = std::move(callback);
}

void LumetChannelObject::sendControlKey(int which) {
    if (Running()) m_sdk->SendControlKey(which >= 0 && which <= 2 ? which : 1);
}

void LumetChannelObject::sendTouch(int action, int x, int y) {
    if (!Running()) return;
    const uint32_t sdkAction = action == 0 ? 0 : action == 1 ? 1 : 2;
    const int xs[1] = {x};
    const int ys[1] = {y};  // label coordinates: the view's y + 40 minus the title bar
    m_sdk->SendTouch(sdkAction, xs, ys, 1);
}

void LumetChannelObject::sendKey(int virtualKey) {
    if (!Running()) return;
    m_sdk->SendKey(1, static_cast<uint32_t>(virtualKey));
    m_sdk->SendKey(0, static_cast<uint32_t>(virtualKey));
}

void LumetChannelObject::sendText(const QString& text) {
    if (Running()) m_sdk->SendCopyString(text.toUtf8().constData());
}

void LumetChannelObject::changeVolume(bool up) {
    if (Running()) m_sdk->SendVolume(up ? 1 : 0);
}

void LumetChannelObject::forwardCharMessage(const NativeCharMessage& message) {
    if (!Running()) return;
    qInfo().noquote() << "2121212121";
    char echo[256] = {0};
    m_sdk->OnImeMessage(message.message, message.wParam, message.lParam, echo, sizeof(echo));
}

bool LumetChannelObject::queryStats(StreamStats& stats) {
    handset_sdk::QvPhoneStats figures;
    if (!Running() || m_sdk->GetStatistics(&figures) != 0) return false;
    stats = StreamStatsFromHandset(figures);
    return true;
}

}  // namespace app
