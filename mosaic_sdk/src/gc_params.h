#pragma once
// The checked copies of the caller's records that Init keeps.
#include <memory>

#include "mosaic_sdk/mosaic_sdk.h"

namespace mosaic_sdk {

struct GroupParams {
    std::shared_ptr<QvDataParam> data;
    std::shared_ptr<QvPicGCSysParam> gc;
    std::shared_ptr<QvPhoneParam> phone;
    std::shared_ptr<QvSysParam> sys;
    std::shared_ptr<QVOutParam> out;
};

// Checks the records and fills out with copies (defaults for null records).
// Logs the failing check's line and returns false; out is then left empty.
bool CheckGroupParams(bool noticsPresent, const QvDataParam* data, const QvPicGCSysParam* gcParam,
                      const QvPhoneParam* phoneParam, const QvSysParam* sysParam, const QVOutParam* outParam,
                      GroupParams& out);

// The picture settings a caller may choose.
bool PictureSettingsValid(const QvPicGCSysParam& gc);

}  // namespace mosaic_sdk
