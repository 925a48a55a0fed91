#include "present_request.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace video_player {

PresentRequest PresentRequestFromEnvironment() {
    const char* value = std::getenv("TESSIVO_VIDEO_PRESENT");
    if (!value) return PresentRequest::Auto;
    if (std::strcmp(value, "software") == 0) return PresentRequest::Software;
    if (std::strcmp(value, "gpu") == 0) return PresentRequest::Gpu;
    if (std::strcmp(value, "gpu-any") == 0) return PresentRequest::GpuAny;
    return PresentRequest::Auto;
}

bool GpuDevicePresent() {
    std::error_code error;
    if (std::filesystem::exists("/dev/nvidiactl", error)) return true;
    for (const auto& entry : std::filesystem::directory_iterator("/dev/dri", error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("card", 0) == 0 || name.rfind("renderD", 0) == 0) return true;
    }
    return false;
}

}  // namespace video_player
