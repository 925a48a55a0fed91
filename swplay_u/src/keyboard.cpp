#include "swplay_u/keyboard.h"

#include <linux/input-event-codes.h>

#include <array>

namespace swplay_u {
namespace {

std::array<int, 256> BuildTable() {
    std::array<int, 256> t{};
    static const int digits[10] = {KEY_0, KEY_1, KEY_2, KEY_3, KEY_4, KEY_5, KEY_6, KEY_7, KEY_8, KEY_9};
    static const int letters[26] = {KEY_A, KEY_B, KEY_C, KEY_D, KEY_E, KEY_F, KEY_G, KEY_H, KEY_I,
                                    KEY_J, KEY_K, KEY_L, KEY_M, KEY_N, KEY_O, KEY_P, KEY_Q, KEY_R,
                                    KEY_S, KEY_T, KEY_U, KEY_V, KEY_W, KEY_X, KEY_Y, KEY_Z};
    for (int i = 0; i < 10; ++i) {
        t[0x30 + i] = digits[i];
        t[0x60 + i] = digits[i];
    }
    for (int i = 0; i < 26; ++i) t[0x41 + i] = letters[i];
    static const int fkeys[24] = {KEY_F1,  KEY_F2,  KEY_F3,  KEY_F4,  KEY_F5,  KEY_F6,  KEY_F7,  KEY_F8,
                                  KEY_F9,  KEY_F10, KEY_F11, KEY_F12, KEY_F13, KEY_F14, KEY_F15, KEY_F16,
                                  KEY_F17, KEY_F18, KEY_F19, KEY_F20, KEY_F21, KEY_F22, KEY_F23, KEY_F24};
    for (int i = 0; i < 24; ++i) t[0x70 + i] = fkeys[i];
    const std::pair<int, int> others[] = {
        {0x08, KEY_BACKSPACE}, {0x09, KEY_TAB},        {0x0D, KEY_ENTER},     {0x10, KEY_LEFTSHIFT},
        {0x11, KEY_LEFTCTRL},  {0x12, KEY_LEFTALT},    {0x13, KEY_PAUSE},     {0x14, KEY_CAPSLOCK},
        {0x1B, KEY_ESC},       {0x20, KEY_SPACE},      {0x21, KEY_PAGEUP},    {0x22, KEY_PAGEDOWN},
        {0x23, KEY_END},       {0x24, KEY_HOME},       {0x25, KEY_LEFT},      {0x26, KEY_UP},
        {0x27, KEY_RIGHT},     {0x28, KEY_DOWN},       {0x2A, KEY_PRINT},     {0x2D, KEY_INSERT},
        {0x2E, KEY_DELETE},    {0x2F, KEY_HELP},       {0x6A, KEY_KPASTERISK}, {0x6E, KEY_DOT},
        {0x90, KEY_NUMLOCK},   {0x91, KEY_SCROLLLOCK}, {0xAD, KEY_MUTE},      {0xAE, KEY_VOLUMEDOWN},
        {0xAF, KEY_VOLUMEUP},  {0xB2, KEY_STOPCD},     {0xB3, KEY_PLAYPAUSE}, {0xBA, KEY_SEMICOLON},
        {0xBB, KEY_EQUAL},     {0xBC, KEY_COMMA},      {0xBD, KEY_MINUS},     {0xBE, KEY_DOT},
        {0xBF, KEY_SLASH},     {0xC0, KEY_GRAVE},      {0xDB, KEY_LEFTBRACE}, {0xDC, KEY_BACKSLASH},
        {0xDD, KEY_RIGHTBRACE}, {0xDE, KEY_APOSTROPHE},
    };
    for (const auto& [vk, code] : others) t[vk] = code;
    return t;
}

}  // namespace

Keyboard* Keyboard::GetInstance() {
    static Keyboard keyboard;
    return &keyboard;
}

int Keyboard::getKeyCode(int virtualKey) const {
    static const std::array<int, 256> table = BuildTable();
    return virtualKey >= 0 && virtualKey < 256 ? table[virtualKey] : 0;
}

}  // namespace swplay_u
