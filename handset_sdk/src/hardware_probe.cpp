#include "hardware_probe.h"

#include <mutex>

#include "codec/codec_interface.h"
#include "common/qv_log.h"

namespace handset_sdk {
namespace {

bool ProbeHardwareDecode() {
    using namespace codec_interface;
    QV_LOG(QV_LOG_INFO, "[HANDSET_SDK]CheckHardwareDecode[%d]", static_cast<int>(CODEC_VIDEO_DECODE_H264_HW));
    bool supported = false;
    auto codec = ICodecInterface::Create(CODEC_VIDEO_DECODE_H264_HW);
    if (codec) {
        CVideoDecodeParam param;
        param.width = 64;
        param.height = 64;
        if (codec->Init(param) == 0) {
            const std::vector<uint8_t> stream = ICodecInterface::HardwareProbeStream();
            CVideoDecodeOutParam picture;
            const int result = codec->Decode(stream.data(), static_cast<int>(stream.size()), picture);
            supported = result != -1 && picture.width >= 1 && picture.pixelFormat == PIXEL_FORMAT_HW_SURFACE;
        }
        codec->UnInit();
    }
    QV_LOG(QV_LOG_INFO, "[HANDSET_SDK]Support HardwareDecode[%d]", supported ? 1 : 0);
    return supported;
}

}  // namespace

bool HardwareDecodeSupported() {
    static std::once_flag once;
    static bool supported = false;
    std::call_once(once, [] { supported = ProbeHardwareDecode(); });
    return supported;
}

}  // namespace handset_sdk
