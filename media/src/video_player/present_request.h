#pragma once
// Which presentation path the player may take. By default the GPU path is
// tried where a GPU device exists and kept only on a hardware renderer; the
// environment variable TESSIVO_VIDEO_PRESENT overrides that:
//   "software"  always the software path
//   "gpu"       try OpenGL even without a GPU device node (still refusing a
//               software rasteriser)
//   "gpu-any"   take OpenGL on any renderer, software rasterisers included
//               (for tests of the GPU path on machines without a GPU)
namespace video_player {

enum class PresentRequest { Auto, Software, Gpu, GpuAny };

PresentRequest PresentRequestFromEnvironment();

// A GPU device node is there (/dev/dri/card*, /dev/dri/renderD*, /dev/nvidiactl).
bool GpuDevicePresent();

}  // namespace video_player
