#include "device/device_key_table.h"

namespace app {
namespace {

QHash<int, int> BuildTable() {
    QHash<int, int> t{
        {Qt::Key_Left, 37},      {Qt::Key_Up, 38},          {Qt::Key_Right, 39},     {Qt::Key_Down, 40},
        {Qt::Key_Backspace, 8},  {Qt::Key_Tab, 9},          {Qt::Key_Clear, 12},     {Qt::Key_Return, 13},
        {Qt::Key_Enter, 13},     {Qt::Key_Shift, 16},       {Qt::Key_Control, 17},   {Qt::Key_Alt, 18},
        {Qt::Key_Pause, 19},     {Qt::Key_CapsLock, 20},    {Qt::Key_Escape, 27},    {Qt::Key_Space, 32},
        {Qt::Key_PageUp, 33},    {Qt::Key_PageDown, 34},    {Qt::Key_End, 35},       {Qt::Key_Home, 36},
        {Qt::Key_Select, 41},    {Qt::Key_Print, 42},       {Qt::Key_Execute, 43},   {Qt::Key_Printer, 44},
        {Qt::Key_Insert, 45},    {Qt::Key_Delete, 46},      {Qt::Key_Help, 47},      {Qt::Key_multiply, 106},
        {Qt::Key_NumLock, 144},  {Qt::Key_ScrollLock, 145}, {Qt::Key_VolumeMute, 173},
        {Qt::Key_VolumeDown, 174}, {Qt::Key_VolumeUp, 175}, {Qt::Key_MediaStop, 178}, {Qt::Key_MediaPlay, 179},
        {Qt::Key_Semicolon, 186}, {Qt::Key_Colon, 186},     {Qt::Key_Plus, 187},     {Qt::Key_Equal, 187},
        {Qt::Key_Comma, 188},    {Qt::Key_Less, 188},       {Qt::Key_Minus, 189},    {Qt::Key_Underscore, 189},
        {Qt::Key_Period, 190},   {Qt::Key_Greater, 190},    {Qt::Key_Slash, 191},    {Qt::Key_Question, 191},
        {Qt::Key_QuoteLeft, 192}, {Qt::Key_AsciiTilde, 192}, {Qt::Key_BracketLeft, 219}, {Qt::Key_BraceLeft, 219},
        {Qt::Key_Backslash, 220}, {Qt::Key_Bar, 220},       {Qt::Key_BracketRight, 221}, {Qt::Key_BraceRight, 221},
        {Qt::Key_QuoteDbl, 222},
    };
    // Digits and the characters on the same keys.
    const int shifted[10] = {Qt::Key_ParenRight, Qt::Key_Exclam,     Qt::Key_At,        Qt::Key_NumberSign,
                             Qt::Key_Dollar,     Qt::Key_Percent,    Qt::Key_AsciiCircum, Qt::Key_Ampersand,
                             Qt::Key_Asterisk,   Qt::Key_ParenLeft};
    for (int d = 0; d < 10; ++d) {
        t.insert(Qt::Key_0 + d, 48 + d);
        t.insert(shifted[d], 48 + d);
    }
    for (int l = 0; l < 26; ++l) {
        t.insert(Qt::Key_A + l, 65 + l);
    }
    for (int f = 0; f < 24; ++f) {
        t.insert(Qt::Key_F1 + f, 112 + f);
    }
    return t;
}

}  // namespace

const QHash<int, int>& DeviceKeyTable() {
    static const QHash<int, int> table = BuildTable();
    return table;
}

int VirtualKeyOf(int qtKey) { return DeviceKeyTable().value(qtKey, 0); }

bool IsCharacterVirtualKey(int k) {
    return k == 0x20 || (k >= 0x30 && k <= 0x39) || (k >= 0x41 && k <= 0x5A) || (k >= 0x60 && k <= 0x6F) ||
           (k >= 0xBA && k <= 0xC0) || (k >= 0xDB && k <= 0xDF) || k == 0x10;
}

}  // namespace app
