#include <atomic>

#include "swplay_u/sw_runtime.h"

namespace swplay_u {
namespace {
std::atomic<int> g_logLevel{-1};  // -1: not initialised
}

SWRuntime* SWRuntime::GetInstance() {
    static SWRuntime runtime;
    return &runtime;
}

int SWRuntime::init(int logLevel, void*) {
    int expected = -1;
    g_logLevel.compare_exchange_strong(expected, logLevel < 0 ? 0 : logLevel);
    return 0;
}

bool SWRuntime::isInitialised() const { return g_logLevel.load() >= 0; }

int SWRuntime::logLevel() const { return g_logLevel.load(); }

}  // namespace swplay_u
