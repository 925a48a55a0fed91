#pragma once
// The vendor SDK's process-wide runtime. init must run once before the first
// player starts; later calls change nothing.
#include "swplay_u/swplay_api.h"

namespace swplay_u {

class SWPLAY_U_API SWRuntime {
public:
    static SWRuntime* GetInstance();
    // logLevel: 0 everything .. 5 nothing (3 warnings and errors); reserved may be null.
    // 0 success (also when already initialised).
    int init(int logLevel, void* reserved);
    bool isInitialised() const;
    int logLevel() const;

private:
    SWRuntime() = default;
};

}  // namespace swplay_u
