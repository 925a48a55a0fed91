#include "platform/processor_id.h"

#include <cstdio>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace platform {

std::string FormatProcessorId(uint32_t edx, uint32_t eax) {
    char text[17];
    std::snprintf(text, sizeof(text), "%08X%08X", static_cast<unsigned>(edx), static_cast<unsigned>(eax));
    return text;
}

std::string ProcessorId() {
#if defined(__x86_64__) || defined(__i386__)
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) == 0) {
        return std::string();
    }
    return FormatProcessorId(edx, eax);
#else
    return std::string();
#endif
}

}  // namespace platform
