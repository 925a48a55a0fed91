#pragma once
// Processor id as the Windows management tool prints it.
#include <cstdint>
#include <string>

#include "platform/platform_api.h"

namespace platform {

// CPUID leaf 1: EDX then EAX as 16 upper-case hexadecimal digits; empty on
// processors without CPUID.
PLATFORM_API std::string ProcessorId();

// The formatting step alone: "%08X%08X" of edx, eax.
PLATFORM_API std::string FormatProcessorId(uint32_t edx, uint32_t eax);

}  // namespace platform
