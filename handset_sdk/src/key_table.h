#pragma once
// Windows virtual-key codes to Linux input key codes.
#include <cstdint>

namespace handset_sdk {

constexpr uint8_t kNoKeyCode = 0xF0;

// The Linux code of winKey, or kNoKeyCode when the key has no entry.
uint8_t MapWinKey(uint32_t winKey);

// Keys that type a character (Space, digits, letters, keypad, OEM punctuation, Shift):
// in text mode their characters arrive as text instead of key events.
bool IsCharacterKey(uint32_t winKey);

constexpr uint32_t kVkControl = 0x11;

}  // namespace handset_sdk
