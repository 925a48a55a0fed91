#pragma once
// Builds server messages of the stream link field by field (ids given by the
// caller) and frames them as packages: 4-byte big-endian type, 4-byte
// big-endian length, body. Every field set is written, defaults included;
// fields not set are absent.
#include <cstdint>
#include <string>
#include <vector>

namespace stream_peer {

class MessageWriter {
public:
    MessageWriter& U8(int id, uint8_t v) { return Add(id, kU8, v); }
    MessageWriter& U16(int id, uint16_t v) { return Add(id, kU16, v); }
    MessageWriter& U32(int id, uint32_t v) { return Add(id, kU32, v); }
    MessageWriter& I32(int id, int32_t v) { return Add(id, kU32, static_cast<uint32_t>(v)); }
    MessageWriter& I64(int id, int64_t v) { return Add(id, kI64, static_cast<uint64_t>(v)); }
    MessageWriter& Str(int id, const std::string& text);

    std::string Body() const;
    std::string Package(uint32_t type) const { return Frame(type, Body()); }

    // Header and body as one package.
    static std::string Frame(uint32_t type, const std::string& body);
    // Header with any declared length, for malformed packages.
    static std::string Header(uint32_t type, uint32_t declaredLength);

private:
    enum Kind { kU8, kU16, kU32, kI64, kStr };
    struct Field {
        int id;
        Kind kind;
        uint64_t bits;
        std::string text;
    };
    MessageWriter& Add(int id, Kind kind, uint64_t bits);
    std::vector<Field> m_fields;
};

}  // namespace stream_peer
