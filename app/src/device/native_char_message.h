#pragma once
// A native character message as the streaming back ends take it: 258 for one
// typed character (wParam), 270 for committed input-method text (lParam
// points to the UTF-8 text, valid during the call).
#include <QString>

#include <cstdint>
#include <vector>

namespace app {

struct NativeCharMessage {
    static constexpr int kChar = 258;
    static constexpr int kImeEnd = 270;
    int message = 0;
    uint64_t wParam = 0;
    uint64_t lParam = 0;
};

// One 258 message per character (UTF-16 code unit) of a key event's text.
std::vector<NativeCharMessage> CharMessagesOf(const QString& keyText);
// Whether a key event's text types something: non-empty, no control characters.
bool TypesCharacter(const QString& keyText);

}  // namespace app
