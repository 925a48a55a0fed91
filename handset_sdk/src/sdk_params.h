#pragma once
// Checks and defaults of the records handed to Init, and their translation
// into the session layer's records.
#include "data_hub/data_hub.h"
#include "handset_sdk/handset_sdk.h"

namespace handset_sdk {

struct SdkParams {
    QvDataParam data;
    QvPhoneParam video;
    QvSysParam sys;
    QVOutParam out;
};

// Copies the records into params (defaults for null video, sys and out).
// Logs what is wrong and returns false when a record breaks its rules.
bool CheckAndCopyParams(const QvDataParam* data, const QvPhoneParam* video, const QvSysParam* sys,
                        const QVOutParam* out, SdkParams& params);

data_hub::QvVideoParam ToHubVideo(const QvPhoneParam& video);
data_hub::QvDataSystemParam ToHubSystem(const QvSysParam& sys);

}  // namespace handset_sdk
