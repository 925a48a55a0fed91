#include "window_link.h"

#include <cstdio>
#include <cstring>

namespace soak {

namespace {
constexpr int kStatusDisconnected = 60701002;  // the session layer's "stream link disconnected"
constexpr int kStatusConnecting = 60701003;
constexpr int kOpenTimeoutMs = 60000;
}  // namespace

void WindowNotic::OnStatus(int code, const char* msg) {
    if (code == kStatusDisconnected) ++disconnects;
    else if (code != 0 && code != kStatusConnecting) ++otherStatuses;
}

void WindowNotic::OnPlayRes(int code, const char* msg, int videoCodec, int bitrate, int fps, int width, int height,
                            int audioCodec, int sampleRate, int channels) {
    if (code != 0) {
        ++failedPlays;
        return;
    }
    lastPlayNs = Clock::now().time_since_epoch().count();
    ++plays;
}

std::string WindowLink::Open(int reconnectIntervalMs) {
    handset_sdk::QvDataParam data;
    std::snprintf(data.baseUrl, sizeof data.baseUrl, "%s", m_baseUrl.c_str());
    std::strcpy(data.userId, "demo-user");
    std::strcpy(data.accessKey, "demo-access-key");
    std::strcpy(data.secretKey, "demo-secret-key");
    std::snprintf(data.instanceNo, sizeof data.instanceNo, "%s", m_instanceNo.c_str());
    handset_sdk::QvPhoneParam video;
    video.fps = 10;
    video.bitrate = 512;
    handset_sdk::QvSysParam sys;
    sys.reconnect = 1;
    sys.reconnectIntervalMs = reconnectIntervalMs;
    sys.connectTimeoutMs = 5000;
    handset_sdk::QVOutParam out;
    out.showMode = 0;
    out.decodeMode = 2;
    m_sdk = handset_sdk::IHandsetSdk::CreateQVPhone();
    if (m_sdk->Init(m_notic, &data, &video, &sys, &out) != 0) return "the window's SDK refused Init";
    if (m_sdk->Start() != 0) return "the window's SDK refused Start";
    if (!WaitUntil([&] { return m_notic->plays.load() > 0; }, kOpenTimeoutMs)) return "the window never played";
    if (m_sdk->StartOut() != 0) return "the window's SDK refused StartOut";
    if (!WaitUntil([&] { return m_notic->frames.load() > 0; }, kOpenTimeoutMs)) return "the window decoded no frame";
    return "";
}

void WindowLink::Close() {
    if (m_sdk) m_sdk->Uninit();
    m_sdk.reset();
}

int WindowLink::Send(const std::string& text) { return m_sdk ? m_sdk->SendInputString(text.c_str()) : -1; }

}  // namespace soak
