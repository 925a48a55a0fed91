#include "stream_peer/message_writer.h"

#include <flatbuffers/flatbuffers.h>

namespace stream_peer {

MessageWriter& MessageWriter::Add(int id, Kind kind, uint64_t bits) {
    m_fields.push_back(Field{id, kind, bits, std::string()});
    return *this;
}

MessageWriter& MessageWriter::Str(int id, const std::string& text) {
    m_fields.push_back(Field{id, kStr, 0, text});
    return *this;
}

std::string MessageWriter::Body() const {
    flatbuffers::FlatBufferBuilder fbb(1024);
    fbb.ForceDefaults(true);
    std::vector<flatbuffers::Offset<flatbuffers::String>> strings(m_fields.size());
    for (size_t i = 0; i < m_fields.size(); ++i) {
        if (m_fields[i].kind == kStr) strings[i] = fbb.CreateString(m_fields[i].text);
    }
    auto start = fbb.StartTable();
    for (size_t i = 0; i < m_fields.size(); ++i) {
        const Field& f = m_fields[i];
        auto slot = static_cast<flatbuffers::voffset_t>(4 + 2 * f.id);
        switch (f.kind) {
            case kU8: fbb.AddElement<uint8_t>(slot, static_cast<uint8_t>(f.bits), 0); break;
            case kU16: fbb.AddElement<uint16_t>(slot, static_cast<uint16_t>(f.bits), 0); break;
            case kU32: fbb.AddElement<uint32_t>(slot, static_cast<uint32_t>(f.bits), 0); break;
            case kI64: fbb.AddElement<int64_t>(slot, static_cast<int64_t>(f.bits), 0); break;
            case kStr: fbb.AddOffset(slot, strings[i]); break;
        }
    }
    fbb.Finish(flatbuffers::Offset<flatbuffers::Table>(fbb.EndTable(start)));
    return std::string(reinterpret_cast<const char*>(fbb.GetBufferPointer()), fbb.GetSize());
}

std::string MessageWriter::Header(uint32_t type, uint32_t length) {
    std::string h(8, '\0');
    for (int i = 0; i < 4; ++i) {
        h[i] = static_cast<char>(type >> (24 - 8 * i));
        h[4 + i] = static_cast<char>(length >> (24 - 8 * i));
    }
    return h;
}

std::string MessageWriter::Frame(uint32_t type, const std::string& body) {
    return Header(type, static_cast<uint32_t>(body.size())) + body;
}

}  // namespace stream_peer
