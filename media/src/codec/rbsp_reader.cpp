#include "rbsp_reader.h"

namespace codec_interface {

RbspReader::RbspReader(const uint8_t* data, size_t length) {
    m_bytes.reserve(length);
    int zeros = 0;
    for (size_t i = 0; i < length; ++i) {
        const uint8_t byte = data[i];
        if (zeros >= 2 && byte == 0x03) {
            zeros = 0;  // emulation prevention: 00 00 03 stands for 00 00
            continue;
        }
        if (zeros >= 2 && byte <= 0x01) {
            break;  // the next start code ends this NAL unit
        }
        zeros = byte == 0 ? zeros + 1 : 0;
        m_bytes.push_back(byte);
    }
}

uint32_t RbspReader::Bits(int count) {
    uint32_t value = 0;
    for (int i = 0; i < count; ++i) {
        if (m_bit >= m_bytes.size() * 8) {
            m_failed = true;
            return 0;
        }
        const uint8_t byte = m_bytes[m_bit / 8];
        value = (value << 1) | ((byte >> (7 - m_bit % 8)) & 1u);
        ++m_bit;
    }
    return value;
}

uint32_t RbspReader::Ue() {
    int leadingZeros = 0;
    while (!m_failed && Bits(1) == 0) {
        if (++leadingZeros > 31) {
            m_failed = true;
        }
    }
    if (m_failed) {
        return 0;
    }
    const uint64_t value = (uint64_t{1} << leadingZeros) - 1 + Bits(leadingZeros);
    if (value > UINT32_MAX) {
        m_failed = true;
        return 0;
    }
    return static_cast<uint32_t>(value);
}

int32_t RbspReader::Se() {
    const uint32_t code = Ue();
    // 1, 2, 3, 4 ... stand for 1, -1, 2, -2 ...
    const int64_t magnitude = (static_cast<int64_t>(code) + 1) / 2;
    return static_cast<int32_t>(code & 1u ? magnitude : -magnitude);
}

}  // namespace codec_interface
