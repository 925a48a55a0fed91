#include "gc_params.h"

#include "common/qv_log.h"

namespace mosaic_sdk {

namespace {

bool Filled(const char (&text)[256]) { return text[0] != '\0'; }

std::shared_ptr<QvDataParam> CopyData(const QvDataParam& data) {
    auto copy = std::make_shared<QvDataParam>();
    common::CopyText(copy->baseUrl, data.baseUrl);
    common::CopyText(copy->userId, data.userId);
    common::CopyText(copy->accessKey, data.accessKey);
    common::CopyText(copy->secretKey, data.secretKey);
    common::CopyText(copy->instanceNo, data.instanceNo);
    copy->mode = data.mode;
    return copy;
}

}  // namespace

bool PictureSettingsValid(const QvPicGCSysParam& gc) {
    const bool rotateValid = gc.picRotate == 0 || gc.picRotate == 90 || gc.picRotate == 180 || gc.picRotate == 270;
    return gc.picQuality >= 1 && gc.picQuality <= 100 && gc.picScale >= 1 && gc.picScale <= 5 && rotateValid &&
           gc.intervalMs >= 200;
}

bool CheckGroupParams(bool noticsPresent, const QvDataParam* data, const QvPicGCSysParam* gcParam,
                      const QvPhoneParam* phoneParam, const QvSysParam* sysParam, const QVOutParam* outParam,
                      GroupParams& out) {
    out = GroupParams();
    if (!noticsPresent || data == nullptr || !Filled(data->baseUrl) || !Filled(data->userId) ||
        !Filled(data->accessKey) || !Filled(data->secretKey)) {
        QV_LOG(QV_LOG_ERROR, "[MOSAIC_SDK]Data param have empty value");
        return false;
    }
    GroupParams params;
    params.data = CopyData(*data);
    if (gcParam != nullptr && !PictureSettingsValid(*gcParam)) {
        QV_LOG(QV_LOG_ERROR, "[MOSAIC_SDK]Picture param err");
        return false;
    }
    // The caller's picture settings are kept: a chosen quality or interval takes effect.
    params.gc = std::make_shared<QvPicGCSysParam>(gcParam != nullptr ? *gcParam : QvPicGCSysParam());
    if (phoneParam != nullptr && (phoneParam->width < 100 || phoneParam->height < 100 || phoneParam->fps == 0 ||
                                  phoneParam->bitrate == 0)) {
        QV_LOG(QV_LOG_ERROR, "[MOSAIC_SDK]Phone param err");
        return false;
    }
    params.phone = std::make_shared<QvPhoneParam>(phoneParam != nullptr ? *phoneParam : QvPhoneParam());
    params.sys = std::make_shared<QvSysParam>(sysParam != nullptr ? *sysParam : QvSysParam());
    params.out = std::make_shared<QVOutParam>(outParam != nullptr ? *outParam : QVOutParam());
    out = std::move(params);
    return true;
}

}  // namespace mosaic_sdk
