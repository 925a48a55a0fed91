#include "key_table.h"

#include <array>

namespace handset_sdk {
namespace {

using KeyTable = std::array<uint8_t, 256>;

KeyTable BuildKeyTable() {
    KeyTable t;
    t.fill(kNoKeyCode);
    // Main-row digits: KEY_1..KEY_9 are 2..10, KEY_0 is 11; the keypad types the same digits.
    t[0x30] = 11;
    t[0x60] = 11;
    for (int d = 1; d <= 9; ++d) {
        t[0x30 + d] = static_cast<uint8_t>(1 + d);
        t[0x60 + d] = static_cast<uint8_t>(1 + d);
    }
    static const uint8_t letters[26] = {30, 48, 46, 32, 18, 33, 34, 35, 23, 36, 37, 38, 50,
                                        49, 24, 25, 16, 19, 31, 20, 22, 47, 17, 45, 21, 44};
    for (int i = 0; i < 26; ++i) t[0x41 + i] = letters[i];
    t[0x6E] = 52;  // keypad decimal -> KEY_DOT
    t[0x20] = 57;
    t[0x09] = 15;
    t[0x14] = 58;
    t[0x10] = 42;
    t[0x11] = 29;
    t[0x12] = 56;
    t[0x0D] = 28;
    t[0x08] = 14;
    t[0x1B] = 1;
    t[0xBD] = 12;
    t[0xBB] = 13;
    t[0xDB] = 26;
    t[0xDD] = 27;
    t[0xBA] = 39;
    t[0xDE] = 40;
    t[0xC0] = 41;
    t[0xDC] = 43;
    t[0xBC] = 51;
    t[0xBE] = 52;
    t[0xBF] = 53;
    t[0x24] = 102;
    t[0x26] = 103;
    t[0x21] = 104;
    t[0x25] = 105;
    t[0x27] = 106;
    t[0x23] = 107;
    t[0x28] = 108;
    t[0x22] = 109;
    t[0x2D] = 110;
    t[0x2E] = 111;
    for (int f = 0; f < 10; ++f) t[0x70 + f] = static_cast<uint8_t>(59 + f);
    return t;
}

}  // namespace

uint8_t MapWinKey(uint32_t winKey) {
    static const KeyTable table = BuildKeyTable();
    return winKey < table.size() ? table[winKey] : kNoKeyCode;
}

// Keys whose character arrives as text in text mode. Space is one of them: it
// comes as the character " ", and a key event for it as well would type it twice.
bool IsCharacterKey(uint32_t k) {
    return k == 0x20 || (k >= 0x30 && k <= 0x39) || (k >= 0x41 && k <= 0x5A) || (k >= 0x60 && k <= 0x6F) ||
           (k >= 0xBA && k <= 0xC0) || (k >= 0xDB && k <= 0xDF) || k == 0x10;
}

}  // namespace handset_sdk
