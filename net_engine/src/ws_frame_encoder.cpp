#include "ws_frame_encoder.h"

#include <cstring>
#include <random>

namespace net_engine {

namespace {

constexpr uint8_t kFinBit = 0x80;
constexpr uint8_t kMaskBit = 0x80;

// dst = src XOR the key repeated, eight bytes at a time.
void MaskCopy(char* dst, const char* src, size_t size, const uint8_t key[4]) {
    uint8_t keyBytes[8];
    for (size_t i = 0; i < 8; ++i) keyBytes[i] = key[i & 3];
    uint64_t wide;
    std::memcpy(&wide, keyBytes, sizeof wide);
    size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        uint64_t word;
        std::memcpy(&word, src + i, sizeof word);
        word ^= wide;
        std::memcpy(dst + i, &word, sizeof word);
    }
    for (; i < size; ++i) dst[i] = static_cast<char>(src[i] ^ key[i & 3]);
}

}  // namespace

uint32_t NextWsMaskKey() {
    constexpr unsigned kKeysPerSeed = 4096;
    thread_local std::mt19937 generator;
    thread_local unsigned left = 0;
    if (left == 0) {
        std::random_device entropy;
        std::seed_seq seed{entropy(), entropy(), entropy(), entropy()};
        generator.seed(seed);
        left = kKeysPerSeed;
    }
    --left;
    return static_cast<uint32_t>(generator());
}

std::shared_ptr<std::vector<char>> EncodeClientFrame(WsOpcode opcode, const char* payload, size_t size,
                                                     uint32_t maskKey) {
    uint8_t head[14];
    size_t headSize = 2;
    head[0] = static_cast<uint8_t>(kFinBit | opcode);
    if (size <= 125) {
        head[1] = static_cast<uint8_t>(kMaskBit | size);
    } else if (size <= 0xFFFF) {
        head[1] = kMaskBit | 126;
        head[2] = static_cast<uint8_t>(size >> 8);
        head[3] = static_cast<uint8_t>(size);
        headSize = 4;
    } else {
        head[1] = kMaskBit | 127;
        const uint64_t length = size;
        for (int i = 0; i < 8; ++i) head[2 + i] = static_cast<uint8_t>(length >> (56 - 8 * i));
        headSize = 10;
    }
    uint8_t key[4];
    std::memcpy(key, &maskKey, sizeof key);
    std::memcpy(head + headSize, key, sizeof key);
    headSize += sizeof key;

    auto frame = std::make_shared<std::vector<char>>(headSize + size);
    std::memcpy(frame->data(), head, headSize);
    if (size) MaskCopy(frame->data() + headSize, payload, size, key);
    return frame;
}

}  // namespace net_engine
