#include "device/kovra_runtime.h"

#include <mutex>

#include "swplay_u/sw_runtime.h"

namespace app {

void InitKovraRuntime() {
    static std::once_flag once;
    std::call_once(once, [] { swplay_u::SWRuntime::GetInstance()->init(3, nullptr); });
}

swplay_u::SWVideoLevel KovraVideoLevel(int level, int bitrate, int quality) {
    return {{level, kKovraFrameWidth, kKovraFrameHeight, 20, 15, bitrate, 45, quality, quality, 0, 0}};
}

}  // namespace app
