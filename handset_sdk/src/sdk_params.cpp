#include "sdk_params.h"

#include "common/qv_log.h"

namespace handset_sdk {
namespace {

bool Filled(const char (&text)[256]) { return text[0] != '\0'; }

// Copies a caller's text field, terminating it whatever the caller left in byte 255.
void CopyField(char (&dst)[256], const char (&src)[256]) {
    for (size_t i = 0; i < sizeof(dst) - 1; ++i) dst[i] = src[i];
    dst[sizeof(dst) - 1] = '\0';
}

}  // namespace

bool CheckAndCopyParams(const QvDataParam* data, const QvPhoneParam* video, const QvSysParam* sys,
                        const QVOutParam* out, SdkParams& params) {
    params = SdkParams();
    if (data == nullptr || !Filled(data->baseUrl) || !Filled(data->userId) || !Filled(data->accessKey) ||
        !Filled(data->secretKey) || !Filled(data->instanceNo)) {
        QV_LOG(QV_LOG_ERROR, "[HANDSET_SDK]Data param have empty value");
        return false;
    }
    CopyField(params.data.baseUrl, data->baseUrl);
    CopyField(params.data.userId, data->userId);
    CopyField(params.data.accessKey, data->accessKey);
    CopyField(params.data.secretKey, data->secretKey);
    CopyField(params.data.instanceNo, data->instanceNo);
    params.data.mode = data->mode;
    if (video != nullptr) {
        if (video->width < 100 || video->height < 100 || video->fps == 0 || video->bitrate == 0) {
            QV_LOG(QV_LOG_ERROR, "[HANDSET_SDK]Phone param err");
            return false;
        }
        params.video = *video;
    }
    if (sys != nullptr) params.sys = *sys;
    if (out != nullptr) params.out = *out;
    return true;
}

data_hub::QvVideoParam ToHubVideo(const QvPhoneParam& video) {
    data_hub::QvVideoParam hub;
    hub.format = video.codec;
    hub.width = video.width;
    hub.height = video.height;
    hub.fps = video.fps;
    hub.bitrate = video.bitrate;
    return hub;
}

data_hub::QvDataSystemParam ToHubSystem(const QvSysParam& sys) {
    // Negative times become huge unsigned values, which the session layer's range check refuses.
    data_hub::QvDataSystemParam hub;
    hub.reconnect = sys.reconnect;
    hub.wsConnectTimeoutMs = static_cast<uint32_t>(sys.connectTimeoutMs);
    hub.reconnectIntervalMs = static_cast<uint32_t>(sys.reconnectIntervalMs);
    hub.secure = sys.flag;
    hub.httpConnectTimeoutMs = static_cast<uint32_t>(sys.param5);
    hub.httpTimeoutMs = static_cast<uint32_t>(sys.param6);
    return hub;
}

}  // namespace handset_sdk
