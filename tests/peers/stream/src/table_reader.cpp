#include "stream_peer/table_reader.h"

#include <cstring>

namespace stream_peer {
namespace {

template <class T>
bool Load(const std::string& b, size_t pos, T* out) {
    if (pos > b.size() || b.size() - pos < sizeof(T)) return false;
    std::memcpy(out, b.data() + pos, sizeof(T));
    return true;
}

}  // namespace

TableReader::TableReader(std::string body) : m_body(std::move(body)) {
    uint32_t root = 0;
    int32_t back = 0;
    uint16_t vtSize = 0;
    if (!Load(m_body, 0, &root) || !Load(m_body, root, &back)) return;
    int64_t vt = static_cast<int64_t>(root) - back;
    if (vt < 0 || !Load(m_body, static_cast<size_t>(vt), &vtSize) || vtSize < 4 || vtSize % 2 != 0) return;
    if (static_cast<size_t>(vt) + vtSize > m_body.size()) return;
    m_table = root;
    m_vtable = static_cast<size_t>(vt);
    m_vtableSize = vtSize;
    m_valid = true;
}

bool TableReader::FieldPos(int id, size_t width, size_t* pos) const {
    if (!m_valid || id < 0) return false;
    size_t slot = 4 + 2 * static_cast<size_t>(id);
    if (slot + 2 > m_vtableSize) return false;
    uint16_t offset = 0;
    if (!Load(m_body, m_vtable + slot, &offset) || offset == 0) return false;
    *pos = m_table + offset;
    return *pos + width <= m_body.size();
}

bool TableReader::Has(int id) const {
    size_t pos = 0;
    return FieldPos(id, 1, &pos);
}

template <class T>
T TableReader::Scalar(int id, T def) const {
    size_t pos = 0;
    T value = def;
    if (FieldPos(id, sizeof(T), &pos)) Load(m_body, pos, &value);
    return value;
}

template uint8_t TableReader::Scalar<uint8_t>(int, uint8_t) const;
template uint16_t TableReader::Scalar<uint16_t>(int, uint16_t) const;
template uint32_t TableReader::Scalar<uint32_t>(int, uint32_t) const;
template int32_t TableReader::Scalar<int32_t>(int, int32_t) const;
template int64_t TableReader::Scalar<int64_t>(int, int64_t) const;
template float TableReader::Scalar<float>(int, float) const;

bool TableReader::Indirect(int id, size_t* pos, uint32_t* count) const {
    size_t field = 0;
    uint32_t offset = 0;
    if (!FieldPos(id, 4, &field) || !Load(m_body, field, &offset)) return false;
    *pos = field + offset;
    return Load(m_body, *pos, count) && (*pos += 4) <= m_body.size();
}

std::string TableReader::Str(int id) const {
    size_t pos = 0;
    uint32_t length = 0;
    if (!Indirect(id, &pos, &length) || m_body.size() - pos < length) return std::string();
    return m_body.substr(pos, length);
}

std::vector<std::pair<uint32_t, uint32_t>> TableReader::Points(int id) const {
    std::vector<std::pair<uint32_t, uint32_t>> points;
    size_t pos = 0;
    uint32_t count = 0;
    if (!Indirect(id, &pos, &count) || (m_body.size() - pos) / 8 < count) return points;
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t x = 0, y = 0;
        Load(m_body, pos + 8 * i, &x);
        Load(m_body, pos + 8 * i + 4, &y);
        points.emplace_back(x, y);
    }
    return points;
}

std::string TableReader::Bytes(int id) const { return Str(id); }

}  // namespace stream_peer
