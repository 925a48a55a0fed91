#include "nal_units.h"

namespace handset_sdk {

bool IsKeyFrame(const uint8_t* data, size_t length, int format) {
    if (data == nullptr) return false;
    // A NAL header follows every 00 00 01 (a 4-byte start code ends in the same three bytes).
    for (size_t i = 0; i + 3 < length; ++i) {
        if (data[i] != 0 || data[i + 1] != 0 || data[i + 2] != 1) continue;
        const uint8_t header = data[i + 3];
        if (format == 265) {
            const int type = (header >> 1) & 0x3F;
            if ((type >= 16 && type <= 21) || (type >= 32 && type <= 34)) return true;
        } else {
            const int type = header & 0x1F;
            if (type == 5 || type == 7) return true;
        }
        i += 2;
    }
    return false;
}

}  // namespace handset_sdk
