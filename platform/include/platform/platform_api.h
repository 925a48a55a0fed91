#pragma once
// Marks the exported symbols of the platform layer (documentation only: the
// build does not hide symbols by default).
#define PLATFORM_API __attribute__((visibility("default")))
