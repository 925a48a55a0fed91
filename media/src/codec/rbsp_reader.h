#pragma once
// Bit reader over a NAL unit's payload with the emulation-prevention bytes
// removed. Every read is bounds-checked: reading past the end sets the
// failure flag and yields 0, so a parser checks Failed() once at the end of a
// step instead of after every field.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace codec_interface {

class RbspReader {
public:
    // Takes the bytes after the NAL header up to the next start code (or the end).
    RbspReader(const uint8_t* data, size_t length);

    uint32_t Bits(int count);  // count <= 32
    bool Flag() { return Bits(1) != 0; }
    uint32_t Ue();             // unsigned Exp-Golomb, at most 32 bits of value
    int32_t Se();
    bool Failed() const { return m_failed; }
    void Fail() { m_failed = true; }

private:
    std::vector<uint8_t> m_bytes;
    size_t m_bit = 0;
    bool m_failed = false;
};

}  // namespace codec_interface
