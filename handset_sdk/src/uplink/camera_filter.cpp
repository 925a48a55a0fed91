#include "camera_filter.h"

#include <cstdio>

#include "common/qv_log.h"

namespace handset_sdk {

CameraCrop ComputeCameraCrop(int sw, int sh, int dw, int dh) {
    CameraCrop crop;
    if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) {
        crop.width = sw > 0 ? sw : 0;
        crop.height = sh > 0 ? sh : 0;
        return crop;
    }
    const float wanted = static_cast<float>(dw) / static_cast<float>(dh);
    const float source = static_cast<float>(sw) / static_cast<float>(sh);
    // 64-bit products: requests and sources come from outside.
    if (wanted > source) {
        crop.width = sw;
        crop.height = static_cast<int>(static_cast<long long>(sw) * dh / dw);
        crop.x = 0;
        crop.y = (sh - crop.height) / 2;
    } else {
        crop.width = static_cast<int>(static_cast<long long>(sh) * dw / dh);
        crop.height = sh;
        crop.x = (sw - crop.width) / 2;
        crop.y = 0;
    }
    if (crop.width < 1) crop.width = 1;
    if (crop.height < 1) crop.height = 1;
    return crop;
}

int CameraTranspose(bool front, int orientation) {
    const bool sideways = (orientation & 1) != 0;
    if (sideways) return front ? 1 : 0;
    return front ? 3 : 2;
}

CameraFilter BuildCameraFilter(int sw, int sh, int dw, int dh, bool front, int orientation) {
    CameraFilter filter;
    filter.crop = ComputeCameraCrop(sw, sh, dw, dh);
    filter.transpose = CameraTranspose(front, orientation);
    char cropText[96];
    std::snprintf(cropText, sizeof(cropText), "crop=%d:%d:%d:%d", filter.crop.width, filter.crop.height, filter.crop.x,
                  filter.crop.y);
    char text[256];
    std::snprintf(text, sizeof(text), "%s,transpose=%d", cropText, filter.transpose);
    filter.applied = text;
    filter.outWidth = filter.crop.height;
    filter.outHeight = filter.crop.width;
    if ((orientation & 1) != 0) {
        if (front) {
            QV_LOG(QV_LOG_DETAIL, "[HANDSET_SDK]camera front ; phone 90-270");
        } else {
            QV_LOG(QV_LOG_DETAIL, "[HANDSET_SDK]camera back ; phone 90-270");
        }
    } else if (front) {
        QV_LOG(QV_LOG_DETAIL, "[HANDSET_SDK]camera front ; phone 0-180: AVFilterStr:%s", text);
    } else {
        QV_LOG(QV_LOG_DETAIL, "[HANDSET_SDK]camera back ; phone 0-180; AVFilterStr:%s", text);
    }
    QV_LOG(QV_LOG_DETAIL, "[HANDSET_SDK]FilterStr:%s", text);
    return filter;
}

}  // namespace handset_sdk
