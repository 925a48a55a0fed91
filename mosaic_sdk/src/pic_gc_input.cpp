// The main phone's operations and the fan-out of every input to the nodes:
// first the main phone (when there is one), then every node link in
// node-number order. Results of node calls are not the caller's concern.
#include <algorithm>
#include <string>
#include <vector>

#include "common/qv_log.h"
#include "pic_gc_control.h"

namespace mosaic_sdk {

namespace {

constexpr uint32_t kTouchDown = 0;
constexpr uint32_t kTouchUp = 1;
constexpr uint32_t kTouchMove = 2;
constexpr uint8_t kKeyHomePage = 0xAC;
constexpr uint8_t kKeyBack = 0x9E;
constexpr uint8_t kKeyMenu = 0x8B;
constexpr uint8_t kKeyVolumeUp = 115;
constexpr uint8_t kKeyVolumeDown = 114;
constexpr uint8_t kNoKeyCode = 0xF0;
constexpr uint32_t kImeTextSize = 4096;

}  // namespace

std::vector<CQVPicGCControl::NodeLink> CQVPicGCControl::Links() const {
    std::vector<NodeLink> links;
    std::lock_guard<std::mutex> lock(m_tableMutex);
    links.reserve(m_tables.nodes.size());
    for (const auto& node : m_tables.nodes)
        if (node.second.link) links.push_back(node.second.link);
    return links;
}

void CQVPicGCControl::FanOutKey(uint8_t code) {
    const int8_t key = static_cast<int8_t>(code);  // the node link's signed 8-bit key
    FanOut([key](fleet_link::IPicGCWSNodeInterface& node) {
        node.InputKeyboard(true, key);
        node.InputKeyboard(false, key);
    });
}

// Display and capture belong to the main phone alone; without one there is
// nothing to show.
int CQVPicGCControl::StartShow(HWND window, const RECT* rect, int mode) {
    auto phone = MainPhone();
    if (!Accepting() || !phone) return -1;
    return phone->StartShow(window, rect, mode);
}

int CQVPicGCControl::StartOut() {
    auto phone = MainPhone();
    if (!Accepting() || !phone) return -1;
    return phone->StartOut();
}

int CQVPicGCControl::SetOutSize(int width, int height) {
    auto phone = MainPhone();
    if (!Accepting() || !phone) return -1;
    return phone->SetOutSize(width, height);
}

int CQVPicGCControl::SetCaptureSource(std::shared_ptr<capture::ICaptureSource> source, void* extra) {
    auto phone = MainPhone();
    if (!Accepting() || !phone) return -1;
    return phone->SetCaptureSource(std::move(source), extra);
}

int CQVPicGCControl::ResetCaptureSource(std::shared_ptr<capture::ICaptureSource> source) {
    auto phone = MainPhone();
    if (!Accepting() || !phone) return -1;
    return phone->ResetCaptureSource(std::move(source));
}

// Window coordinates are the main phone's; the followers get the phone
// coordinates the main phone converted them to.
int CQVPicGCControl::SendTouch(uint32_t type, const int* xs, const int* ys, int count) {
    if (!Accepting() || xs == nullptr || ys == nullptr || count < 1) return -1;
    if (type == kTouchMove && !m_pressActive.load()) return -1;
    auto phone = MainPhone();
    if (!phone) return -1;
    if (type == kTouchDown) m_pressActive.store(true);
    if (type == kTouchUp) m_pressActive.store(false);
    std::vector<int> px(xs, xs + count);
    std::vector<int> py(ys, ys + count);
    int n = count;
    phone->ConvertPoint(static_cast<int>(type), px.data(), py.data(), &n);
    if (n < 1) return 0;  // every point outside the picture
    const int result = phone->SendTouchRaw(type, px.data(), py.data(), n);
    FanOut([&](fleet_link::IPicGCWSNodeInterface& node) {
        node.InputTouch(static_cast<int>(type), px.data(), py.data(), n);
    });
    return result;
}

int CQVPicGCControl::SendTouchRaw(uint32_t type, const int* xs, const int* ys, int count) {
    if (!Accepting() || xs == nullptr || ys == nullptr || count < 1) return -1;
    if (auto phone = MainPhone()) phone->SendTouchRaw(type, xs, ys, count);
    FanOut([&](fleet_link::IPicGCWSNodeInterface& node) { node.InputTouch(static_cast<int>(type), xs, ys, count); });
    return 0;
}

int CQVPicGCControl::SendKey(uint32_t isDown, const uint8_t* key) {
    if (!Accepting() || key == nullptr) return -1;
    const uint8_t winKey = *key;
    int result = 0;
    if (auto phone = MainPhone()) {
        result = phone->SendKey(isDown, winKey);
        if (result != 0) return -1;  // the main phone's key filter decides for the group
    }
    const uint8_t code = IHandsetSdk::GetAndroidKeyCodeWithWinKey(winKey);
    if (code == kNoKeyCode) return -1;  // a key without a phone code is never sent
    const int8_t nodeKey = static_cast<int8_t>(code);
    FanOut([&](fleet_link::IPicGCWSNodeInterface& node) { node.InputKeyboard(isDown != 0, nodeKey); });
    return result;
}

// The followers get the text the main phone sent; without a main phone
// nothing decides what a message means, so nothing is sent.
int CQVPicGCControl::OnImeMessage(int message, uint64_t wParam, uint64_t lParam, char* echo, uint32_t echoSize) {
    if (!Accepting()) return -1;
    auto phone = MainPhone();
    if (!phone) return 0;
    std::vector<char> sent(kImeTextSize, '\0');
    const int result = phone->OnImeMessage(message, wParam, lParam, sent.data(), kImeTextSize);
    const std::string text(sent.data());
    if (result != 0 || text.empty()) return result;
    FanOut([&](fleet_link::IPicGCWSNodeInterface& node) { node.InputString(text.c_str()); });
    if (echo != nullptr && echoSize > 1) {
        const size_t n = std::min<size_t>(text.size(), echoSize - 1);
        text.copy(echo, n);
        echo[n] = '\0';
    }
    return result;
}

int CQVPicGCControl::SendControlKey(int key) {
    if (!Accepting()) return -1;
    uint8_t code = 0;
    switch (key) {
        case 0:
            QV_LOG(QV_LOG_INFO, "[MOSAIC_SDK]Send android control key[HOMEPAGE]");
            code = kKeyHomePage;
            break;
        case 1:
            QV_LOG(QV_LOG_INFO, "[MOSAIC_SDK]Send android control key[BACK]");
            code = kKeyBack;
            break;
        case 2:
            QV_LOG(QV_LOG_INFO, "[MOSAIC_SDK]Send android control key[MENU]");
            code = kKeyMenu;
            break;
        default:
            break;
    }
    if (code != 0) QV_LOG(QV_LOG_INFO, "[MOSAIC_SDK]Send android key[%d]", code);
    int result = code != 0 ? 0 : -1;
    if (auto phone = MainPhone()) result = phone->SendControlKey(key);
    if (code != 0) FanOutKey(code);
    return result;
}

int CQVPicGCControl::SendVolume(uint32_t up) {
    if (!Accepting()) return -1;
    QV_LOG(QV_LOG_INFO, "[MOSAIC_SDK]Send android Volume [%s]", up != 0 ? "up" : "down");
    int result = 0;
    if (auto phone = MainPhone()) result = phone->SendVolume(up);
    FanOutKey(up != 0 ? kKeyVolumeUp : kKeyVolumeDown);
    return result;
}

int CQVPicGCControl::SendLocation(float p1, float p2, float p3, float p4, float p5, float p6, float p7, float p8) {
    if (!Accepting()) return -1;
    int result = 0;
    if (auto phone = MainPhone()) result = phone->SendLocation(p1, p2, p3, p4, p5, p6, p7, p8);
    FanOut([&](fleet_link::IPicGCWSNodeInterface& node) { node.InputPosition(p1, p2); });
    return result;
}

int CQVPicGCControl::SendSensor(uint32_t type, float x, float y, float z) {
    if (!Accepting()) return -1;
    int result = 0;
    if (auto phone = MainPhone()) result = phone->SendSensor(type, x, y, z);
    FanOut([&](fleet_link::IPicGCWSNodeInterface& node) { node.InputSensor(static_cast<int>(type), x, y, z); });
    return result;
}

int CQVPicGCControl::SendMsgTrans(const char* service, const char* msg) {
    if (!Accepting() || service == nullptr || msg == nullptr) return -1;
    int result = 0;
    if (auto phone = MainPhone()) result = phone->SendMsgTrans(service, msg);
    FanOut([&](fleet_link::IPicGCWSNodeInterface& node) { node.InputMsg(service, msg); });
    return result;
}

int CQVPicGCControl::SendCopyString(const char* text) {
    if (!Accepting() || text == nullptr) return -1;
    int result = 0;
    if (auto phone = MainPhone()) result = phone->SendCopyString(text);
    FanOut([&](fleet_link::IPicGCWSNodeInterface& node) { node.InputClipboard(text); });
    return result;
}

int CQVPicGCControl::SendInputString(const char* text) {
    if (!Accepting() || text == nullptr) return -1;
    int result = 0;
    if (auto phone = MainPhone()) result = phone->SendInputString(text);
    FanOut([&](fleet_link::IPicGCWSNodeInterface& node) { node.InputString(text); });
    return result;
}

}  // namespace mosaic_sdk
