#pragma once
// Reads one FlatBuffers table by field id straight from the bytes (root
// offset, vtable, field offsets), with bounds checks on every access.
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace stream_peer {

class TableReader {
public:
    explicit TableReader(std::string body);

    bool Valid() const { return m_valid; }
    // Number of field slots in the vtable.
    size_t SlotCount() const { return m_valid ? (m_vtableSize - 4) / 2 : 0; }
    // The field is present on the wire.
    bool Has(int id) const;

    uint8_t U8(int id, uint8_t def = 0) const { return Scalar<uint8_t>(id, def); }
    uint16_t U16(int id, uint16_t def = 0) const { return Scalar<uint16_t>(id, def); }
    uint32_t U32(int id, uint32_t def = 0) const { return Scalar<uint32_t>(id, def); }
    int32_t I32(int id, int32_t def = 0) const { return Scalar<int32_t>(id, def); }
    int64_t I64(int id, int64_t def = 0) const { return Scalar<int64_t>(id, def); }
    float F32(int id, float def = 0.0f) const { return Scalar<float>(id, def); }
    // "" when absent.
    std::string Str(int id) const;
    // Vector of 8-byte (uint32 x, uint32 y) structs.
    std::vector<std::pair<uint32_t, uint32_t>> Points(int id) const;
    // Vector of bytes.
    std::string Bytes(int id) const;

private:
    bool FieldPos(int id, size_t width, size_t* pos) const;
    bool Indirect(int id, size_t* pos, uint32_t* count) const;
    template <class T>
    T Scalar(int id, T def) const;

    std::string m_body;
    bool m_valid = false;
    size_t m_table = 0;
    size_t m_vtable = 0;
    size_t m_vtableSize = 0;
};

}  // namespace stream_peer
