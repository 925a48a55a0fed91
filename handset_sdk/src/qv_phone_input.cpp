// The user's input, translated for the phone: keys, text, touches and the
// operations passed straight to the session layer.
#include <algorithm>
#include <cstring>
#include <string>

#include "common/qv_log.h"
#include "ime_text.h"
#include "key_table.h"
#include "qv_phone_control.h"

namespace handset_sdk {

namespace {

constexpr uint8_t kKeyHomePage = 172;
constexpr uint8_t kKeyBack = 158;
constexpr uint8_t kKeyMenu = 139;
constexpr uint8_t kKeyVolumeUp = 115;
constexpr uint8_t kKeyVolumeDown = 114;

void CopyEcho(const std::string& text, char* echo, uint32_t echoSize) {
    if (echo == nullptr || echoSize <= 1) return;
    const size_t n = std::min<size_t>(text.size(), echoSize - 1);
    std::memcpy(echo, text.data(), n);
    echo[n] = '\0';
}

}  // namespace

int CQVPhoneControl::SendKey(uint32_t down, uint32_t winKey) {
    if (!Ready()) return -1;
    auto hub = Hub();
    if (!hub) return -1;
    // Held through the send, so that Uninit's releases follow every press sent.
    std::lock_guard<std::mutex> lock(m_keyMutex);
    const bool inList = down == 0 && std::find(m_pressedKeys.begin(), m_pressedKeys.end(), winKey) !=
                                         m_pressedKeys.end();
    const bool textMode = m_textMode.load();
    if (textMode && m_inputMode.load() == 0 && !inList) return -1;
    const bool ctrlHeld =
        std::find(m_pressedKeys.begin(), m_pressedKeys.end(), kVkControl) != m_pressedKeys.end();
    if (textMode && !inList && !ctrlHeld && IsCharacterKey(winKey)) return -1;
    const uint8_t code = MapWinKey(winKey);
    if (code == kNoKeyCode) return -1;
    if (down != 0) {
        m_pressedKeys.push_back(winKey);
    } else {
        m_pressedKeys.erase(std::remove(m_pressedKeys.begin(), m_pressedKeys.end(), winKey), m_pressedKeys.end());
    }
    QV_LOG(QV_LOG_DETAIL, "[HANDSET_SDK]send key [0x%X]->[0x%X]", winKey, code);
    return hub->SendInKeyReq(down != 0 ? 1 : 0, code);
}

void CQVPhoneControl::ReleaseHeldKeys() {
    auto hub = Hub();
    std::lock_guard<std::mutex> lock(m_keyMutex);
    std::vector<uint32_t> released;
    for (uint32_t key : m_pressedKeys) {
        if (std::find(released.begin(), released.end(), key) != released.end()) continue;
        released.push_back(key);
        const uint8_t code = MapWinKey(key);
        QV_LOG(QV_LOG_DETAIL, "[HANDSET_SDK]send key [0x%X]->[0x%X]", key, code);
        if (hub) hub->SendInKeyReq(0, code);
    }
    m_pressedKeys.clear();
}

int CQVPhoneControl::OnImeMessage(int message, uint64_t wParam, uint64_t lParam, char* echo, uint32_t echoSize) {
    if (!Ready()) return -1;
    if (m_inputMode.load() == 0 || !m_textMode.load()) return 0;
    auto hub = Hub();
    if (!hub) return -1;
    std::string text;
    if (message == kMsgImeCompositionEnd) {
        if (!ReadImeResultText(lParam, text)) {
            QV_LOG(QV_LOG_ERROR, "[HANDSET_SDK]Get IME input failed");
            return -1;
        }
        if (text.empty()) return 0;
        QV_LOG(QV_LOG_DETAIL, "[HANDSET_SDK]input str [%s]", text.c_str());
    } else if (message == kMsgChar) {
        if (wParam < 32 || wParam > 126) return 0;
        text.assign(1, static_cast<char>(wParam));
        QV_LOG(QV_LOG_DETAIL, "[HANDSET_SDK]input char [%c]", text[0]);
    } else {
        return 0;
    }
    const int result = hub->SendInputStringReq(text.c_str());
    if (result == 0) CopyEcho(text, echo, echoSize);
    return result;
}

int CQVPhoneControl::PressAndRelease(uint8_t code) {
    auto hub = Hub();
    if (!hub || hub->SendInKeyReq(1, code) != 0) return -1;
    return hub->SendInKeyReq(0, code);
}

int CQVPhoneControl::SendControlKey(int which) {
    if (!Ready()) return -1;
    uint8_t code = 0;
    switch (which) {
        case 0:
            QV_LOG(QV_LOG_INFO, "[HANDSET_SDK]Send android control key[HOMEPAGE]");
            code = kKeyHomePage;
            break;
        case 1:
            QV_LOG(QV_LOG_INFO, "[HANDSET_SDK]Send android control key[BACK]");
            code = kKeyBack;
            break;
        case 2:
            QV_LOG(QV_LOG_INFO, "[HANDSET_SDK]Send android control key[MENU]");
            code = kKeyMenu;
            break;
        default:
            return -1;
    }
    QV_LOG(QV_LOG_INFO, "[HANDSET_SDK]Send android key[%d]", code);
    return PressAndRelease(code);
}

int CQVPhoneControl::SendVolume(uint32_t which) {
    if (!Ready()) return -1;
    QV_LOG(QV_LOG_INFO, "[HANDSET_SDK]Send android Volume [%s]", which != 0 ? "up" : "down");
    return PressAndRelease(which != 0 ? kKeyVolumeUp : kKeyVolumeDown);
}

DisplayArea CQVPhoneControl::CurrentDisplay() const {
    DisplayArea area;
    {
        std::lock_guard<std::mutex> lock(m_displayMutex);
        area.rect = m_rect;
    }
    area.mode = m_displayMode.load();
    const QvPhoneParam video = CurrentVideo();
    area.videoWidth = video.width;
    area.videoHeight = video.height;
    return area;
}

int CQVPhoneControl::SendPoints(uint32_t action, const std::vector<TouchPoint>& points) {
    if (points.empty()) return 0;
    auto hub = Hub();
    if (!hub) return -1;
    if (action == kTouchDown) m_touchActive.store(true);
    if (action == kTouchUp) m_touchActive.store(false);
    std::vector<uint32_t> xs, ys;
    xs.reserve(points.size());
    ys.reserve(points.size());
    for (const TouchPoint& p : points) {
        xs.push_back(static_cast<uint32_t>(p.x));  // (-1, -1) goes out as all ones
        ys.push_back(static_cast<uint32_t>(p.y));
    }
    return hub->SendInTouchReq(action, xs.data(), ys.data(), static_cast<int>(points.size()));
}

int CQVPhoneControl::SendTouch(uint32_t action, const int* xs, const int* ys, int count) {
    auto params = Params();
    if (!Ready() || !params || xs == nullptr || ys == nullptr || count <= 0) return -1;
    if (action == kTouchMove && !m_touchActive.load()) return 0;
    if (params->out.showMode != 0) return SendPoints(action, ConvertWindowPoints(action, xs, ys, count, CurrentDisplay()));
    return SendPoints(action, PassPhonePoints(action, xs, ys, count));
}

int CQVPhoneControl::SendTouchRaw(uint32_t action, const int* xs, const int* ys, int count) {
    if (!Ready() || xs == nullptr || ys == nullptr || count < 1) return -1;
    if (action == kTouchMove && !m_touchActive.load()) return 0;
    return SendPoints(action, PassPhonePoints(action, xs, ys, count));
}

void CQVPhoneControl::ConvertPoint(int action, int* xs, int* ys, int* count) {
    if (xs == nullptr || ys == nullptr) return;
    const int n = count != nullptr ? *count : 1;
    if (n <= 0) return;
    const std::vector<TouchPoint> points =
        ConvertWindowPoints(static_cast<uint32_t>(action), xs, ys, n, CurrentDisplay());
    if (count == nullptr && points.empty()) return;  // one point outside: left as it is
    for (size_t i = 0; i < points.size(); ++i) {
        xs[i] = points[i].x;
        ys[i] = points[i].y;
    }
    if (count != nullptr) *count = static_cast<int>(points.size());
}

int CQVPhoneControl::SendLocation(float p1, float p2, float p3, float p4, float p5, float p6, float p7, float p8) {
    auto hub = Hub();
    if (!Ready() || !hub) return -1;
    return hub->SendInLocationReq(p1, p2, p3, p4, p5, p6, p7, p8);
}

int CQVPhoneControl::SendSensor(uint32_t type, float x, float y, float z) {
    auto hub = Hub();
    if (!Ready() || !hub) return -1;
    return hub->SendInSensorReq(type, x, y, z);
}

int CQVPhoneControl::SendMsgTrans(const char* service, const char* msg) {
    auto hub = Hub();
    if (!Ready() || !hub || service == nullptr || msg == nullptr) return -1;
    return hub->SendMsgTransReq(service, msg);
}

int CQVPhoneControl::SendCopyString(const char* text) {
    auto hub = Hub();
    if (!Ready() || !hub || text == nullptr) return -1;
    return hub->SendCopyStringReq(text);
}

int CQVPhoneControl::SendInputString(const char* text) {
    auto hub = Hub();
    if (!Ready() || !hub || text == nullptr) return -1;
    return hub->SendInputStringReq(text);
}

int CQVPhoneControl::SetPlayControl(uint8_t value, uint8_t audio) {
    auto hub = Hub();
    if (!Ready() || !hub) return -1;
    {
        std::lock_guard<std::mutex> lock(m_playControlMutex);
        if (value != m_lastPlayControl) {
            if (hub->SendPlayControlReq(value, 1) != 0) return -1;
            m_lastPlayControl = value;
        }
    }
    m_dropAudio.store(audio == 0);
    return 0;
}

int CQVPhoneControl::SetVideoParam(uint32_t fps, uint32_t bitrate, uint32_t width, uint32_t height) {
    auto hub = Hub();
    if (!Ready() || !hub) return -1;
    return hub->SendSetVideoParamReq(static_cast<int>(fps), bitrate, width, height);
}

int CQVPhoneControl::SetRotation(uint32_t a, uint32_t b) {
    auto hub = Hub();
    if (!Ready() || !hub) return -1;
    return hub->SendSetRotationReq(a, b);
}

int CQVPhoneControl::SetInputMode(uint32_t mode) {
    auto hub = Hub();
    if (!Ready() || !hub) return -1;
    if (hub->SendInputModeReq(mode) != 0) return -1;
    m_inputMode.store(static_cast<int32_t>(mode));
    return 0;
}

}  // namespace handset_sdk
