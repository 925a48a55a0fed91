#include "device/native_char_message.h"

namespace app {

std::vector<NativeCharMessage> CharMessagesOf(const QString& keyText) {
    std::vector<NativeCharMessage> messages;
    for (const QChar c : keyText) {
        messages.push_back({NativeCharMessage::kChar, c.unicode(), 0});
    }
    return messages;
}

bool TypesCharacter(const QString& keyText) {
    if (keyText.isEmpty()) return false;
    for (const QChar c : keyText) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F) return false;
    }
    return true;
}

}  // namespace app
