#include "device/native_char_message.h"

namespace app {

std::vector<NativeCharMessage> CharMessagesOf(const QString& keyText) {
    std::vector<NativeCharMessage> messages;
    for (const QChar c : keyText) {
        messages.push_back({NativeCharMessage::kChar, c.unicode(), 0});
    }
    return messages;
}

}  // namespace app
