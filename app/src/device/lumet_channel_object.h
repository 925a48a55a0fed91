#pragma once
// The in-house back end of a device view: one handset_sdk session drawn
// natively into the view's picture.
#include <QPointer>

#include <memory>

#include "device/channel_object_interface.h"

namespace handset_sdk {
class IHandsetSdk;
}
namespace capture {
class ICaptureSource;
}
class QLabel;

namespace app {

class CQVSinglePhoneNotic;
class GuiRelay;
class YunDeviceLabel;

class LumetChannelObject : public ChannelObjectInterface {
public:
    using ChannelObjectInterface::ChannelObjectInterface;
    ~LumetChannelObject() override;

    void start(int orientation, int quality, int width, int height, QWidget* target) override;
    // Ends the stream: the SDK session is uninitialised.
    void stop() override;
    void sendControlKey(int which) override;
    void sendTouch(int action, int x, int y) override;
    void sendKey(int virtualKey) override;
    void sendText(const QString& text) override;
    void changeVolume(bool up) override;
    void displayResized(int width, int height) override;
    void forwardCharMessage(const NativeCharMessage& message) override;
    bool isInputActive() override { return m_inputActive; }
    void setInputActiveCallback(std::function<void(bool)> callback) override;
    bool queryStats(StreamStats& stats) override;

    // The platform API base URL: $TESSIVO_PLATFORM_URL, else the service's.
    static QString PlatformBaseUrl();
    bool Shown() const { return m_shown; }
    // The phone uses the camera or microphone this window lent it.
    bool CameraInUse() const { return m_cameraInUse; }
    bool MicrophoneInUse() const { return m_micInUse; }
    // How often the phone asked for a device the configuration or the machine refused.
    int Refusals() const { return m_refusals; }

private:
    void OnFirstFrame();
    void OnRotation(int rotation);
    void OnInputActive(bool active);
    void OnCameraSwitch(bool on);
    void OnMicrophoneSwitch(bool on);
    // Lends source to the phone (on) or takes it back; true while lent.
    bool Lend(const std::shared_ptr<capture::ICaptureSource>& source, bool on, const char* what);
    void ShowCaptureInUse();
    void Show(int width, int height, bool turned);
    bool Running() const { return m_sdk != nullptr; }

    std::shared_ptr<handset_sdk::IHandsetSdk> m_sdk;
    std::shared_ptr<CQVSinglePhoneNotic> m_notic;
    std::shared_ptr<GuiRelay> m_relay;
    QPointer<QWidget> m_target;
    QPointer<YunDeviceLabel> m_picture;
    bool m_shown = false;
    bool m_inputActive = false;
    std::shared_ptr<capture::ICaptureSource> m_camera;  // made on the phone's first request
    std::shared_ptr<capture::ICaptureSource> m_microphone;
    bool m_cameraInUse = false;
    bool m_micInUse = false;
    int m_refusals = 0;
    QPointer<QLabel> m_captureLabel;
    std::function<void(bool)> m_inputCallback;
};

}  // namespace app
