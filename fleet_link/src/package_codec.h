#pragma once
// Framing of node packages: an 8-byte header (type, body length, both in
// network byte order) followed by a compact JSON body, one package per
// binary WebSocket frame.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include <json/value.h>

namespace fleet_link {

struct PackageHeader {
    uint32_t type;
    uint32_t length;
};

constexpr size_t kPackageHeaderSize = sizeof(PackageHeader);

// Packs type and the compact text of body into one frame payload.
std::shared_ptr<std::vector<char>> PackPackage(uint32_t type, const Json::Value& body);

// One received frame, split into type and body when it is a whole package.
struct UnpackedPackage {
    uint32_t type = 0;
    const char* body = nullptr;
    size_t bodyLength = 0;
};

// Returns true for a whole binary package. Non-binary frames, frames shorter
// than the header and frames whose length word disagrees with their size are
// dropped (with the log line their case calls for).
bool UnpackPackage(const char* data, size_t length, int frameKind, UnpackedPackage& out);

}  // namespace fleet_link
