#include "hub_params.h"

#include <chrono>
#include <cstdlib>

namespace data_hub {

bool CheckVideoParam(const QvVideoParam& video) {
    if (video.width < 100 || video.width > 4096 || video.height < 100 || video.height > 4096 || video.fps > 60) {
        QV_LOG(60, "[DATA_HUB]video param is illegal");
        return false;
    }
    if (video.format != QV_VIDEO_FORMAT_H264 && video.format != QV_VIDEO_FORMAT_H265) {
        QV_LOG(60, "[DATA_HUB]video format only support QV_VIDEO_FORMAT_H264/QV_VIDEO_FORMAT_H265");
        return false;
    }
    return true;
}

bool CheckSystemParam(const QvDataSystemParam& system) {
    auto within = [](uint32_t v, uint32_t lo, uint32_t hi) { return v >= lo && v <= hi; };
    if (!within(system.wsConnectTimeoutMs, 1000, 30000) || !within(system.httpConnectTimeoutMs, 1000, 30000) ||
        !within(system.httpTimeoutMs, 1000, 60000) ||
        (system.reconnect != 0 && !within(system.reconnectIntervalMs, 1000, 60000))) {
        QV_LOG(60, "[DATA_HUB]system param is illegal");
        return false;
    }
    return true;
}

const char* DefaultPlatformUrl() {
    const char* env = std::getenv("TESSIVO_PLATFORM_URL");
    return env && *env ? env : "https://sdk-api.tessivo.com";
}

int64_t NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

const char* StatusText(int code) {
    switch (code) {
    case QV_STATUS_SUCCESS: return "success";
    case QV_STATUS_WS_INIT_FAILED: return "web socket init failed";
    case QV_STATUS_WS_DISCONNECT: return "web socket disconnect";
    case QV_STATUS_WS_CONNECTING: return "web socket connecting";
    case QV_STATUS_PHONE_CONNECT_FAILED: return "Http Req for phone-connect failed";
    case QV_STATUS_PHONE_CONNECT_NOT_200: return "Http Req for phone-connect can not get 200";
    case QV_STATUS_REFRESH_FAILED: return "Http Req for refresh-session failed";
    case QV_STATUS_REFRESH_NOT_200: return "Http Req for refresh-session can not get 200";
    default: return "";
    }
}

}  // namespace data_hub
