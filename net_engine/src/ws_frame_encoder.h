#pragma once
// Frames the client sends, built whole (header and masked payload in one
// buffer, ready for the socket) on the sending thread. Masking runs a word
// at a time; libcurl's own frame encoder masks byte by byte, which costs a
// 64 KiB frame more than the rest of its trip.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace net_engine {

enum WsOpcode : uint8_t {
    kWsContinuation = 0x0,
    kWsText = 0x1,
    kWsBinary = 0x2,
    kWsClose = 0x8,
    kWsPing = 0x9,
    kWsPong = 0xA,
};

// A fresh masking key from this thread's generator (seeded from the system's
// entropy source, and again every few thousand keys).
uint32_t NextWsMaskKey();

// One client frame: FIN set, masked with `maskKey`.
std::shared_ptr<std::vector<char>> EncodeClientFrame(WsOpcode opcode, const char* payload, size_t size,
                                                     uint32_t maskKey);

}  // namespace net_engine
