#include "group_link.h"

#include <cstdio>
#include <cstring>

#include "soak_wait.h"

namespace soak {

namespace {
constexpr int kOpenTimeoutMs = 60000;
}

std::string GroupLink::Open(int reconnectIntervalMs) {
    mosaic_sdk::QvDataParam data;
    std::snprintf(data.baseUrl, sizeof data.baseUrl, "%s", m_baseUrl.c_str());
    std::strcpy(data.userId, "demo-user");
    std::strcpy(data.accessKey, "demo-access-key");
    std::strcpy(data.secretKey, "demo-secret-key");
    std::snprintf(data.instanceNo, sizeof data.instanceNo, "%s", m_phones.front().c_str());
    mosaic_sdk::QvPicGCSysParam gc;
    gc.reconnectIntervalMs = reconnectIntervalMs;
    gc.connectTimeoutMs = 5000;
    gc.apiConnectTimeoutMs = 30000;
    gc.apiTimeoutMs = 60000;
    mosaic_sdk::QvPhoneParam video;
    video.fps = 10;
    video.bitrate = 512;
    mosaic_sdk::QVOutParam out;
    out.showMode = 0;
    out.decodeMode = 2;
    m_sdk = mosaic_sdk::IMosaicSdk::CreateMosaicSdk();
    if (m_sdk->Init(m_mainNotic, m_notic, &data, &gc, &video, nullptr, &out, nullptr) != 0)
        return "the group SDK refused Init";
    std::vector<const char*> list;
    for (const auto& phone : m_phones) list.push_back(phone.c_str());
    if (m_sdk->Start(list.data(), static_cast<uint32_t>(list.size())) != 0) return "the group SDK refused Start";
    if (!WaitUntil([&] { return m_notic->started.load() > 0 || m_notic->errors.load() > 0; }, kOpenTimeoutMs) ||
        m_notic->started.load() == 0)
        return "the group's start did not succeed";
    if (!WaitUntil([&] { return m_mainNotic->plays.load() > 0; }, kOpenTimeoutMs)) return "the main phone never played";
    if (m_sdk->StartOut() != 0) return "the group SDK refused StartOut";
    if (!WaitUntil([&] { return m_mainNotic->frames.load() > 0; }, kOpenTimeoutMs))
        return "the main phone decoded no frame";
    return "";
}

void GroupLink::Close() {
    if (m_sdk) m_sdk->Uninit();
    m_sdk.reset();
}

int GroupLink::Send(const std::string& text) { return m_sdk ? m_sdk->SendInputString(text.c_str()) : -1; }

}  // namespace soak
