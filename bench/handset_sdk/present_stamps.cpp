#include "present_stamps.h"

#include <SDL2/SDL.h>
#include <dlfcn.h>

#include <time.h>

#include <atomic>

namespace handset_bench {

namespace {
std::atomic<Nanos>& PresentCallTotal() {
    static std::atomic<Nanos> total{0};
    return total;
}
std::atomic<Nanos>& PresentCpuTotal() {
    static std::atomic<Nanos> total{0};
    return total;
}
Nanos ThreadCpuNanos() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<Nanos>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}
}  // namespace

StampLog& PresentedPictures() {
    static StampLog log;
    return log;
}

Nanos PresentCallNanos() { return PresentCallTotal().load(); }
Nanos PresentCallCpuNanos() { return PresentCpuTotal().load(); }

}  // namespace handset_bench

// Exported from the executable (--export-dynamic-symbol), so the player's
// call lands here first; SDL's own function is the next definition.
extern "C" void SDL_RenderPresent(SDL_Renderer* renderer) {
    using PresentFn = void (*)(SDL_Renderer*);
    static const PresentFn real = reinterpret_cast<PresentFn>(dlsym(RTLD_NEXT, "SDL_RenderPresent"));
    if (real == nullptr) return;
    using namespace handset_bench;
    const Nanos start = NowNanos();
    const Nanos cpuStart = ThreadCpuNanos();
    real(renderer);
    PresentCpuTotal().fetch_add(ThreadCpuNanos() - cpuStart);
    PresentedPictures().Mark();
    PresentCallTotal().fetch_add(NowNanos() - start);
}
