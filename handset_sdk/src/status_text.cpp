#include "handset_sdk/handset_sdk.h"

namespace handset_sdk {

const char* HandsetStatusText(int code) {
    switch (code) {
        case QV_PHONE_SUCCESS:
            return "success";
        case QV_PHONE_VIDEO_DECODE_INIT_FAILED:
            return "Video decode init failed";
        case QV_PHONE_VIDEO_FORMAT_UNSUPPORTED:
            return "Video format do not support";
        case QV_PHONE_VIDEO_PLAY_FAILED:
            return "Start Video play failed";
        case QV_PHONE_AUDIO_FORMAT_UNSUPPORTED:
            return "Audio format do not support";
        case QV_PHONE_AUDIO_DECODE_INIT_FAILED:
            return "Audio decode init failed";
        case QV_PHONE_AUDIO_PLAY_FAILED:
            return "Start Audio Play failed";
        default:
            return "";
    }
}

}  // namespace handset_sdk
