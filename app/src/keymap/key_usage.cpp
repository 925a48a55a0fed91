#include "keymap/key_usage.h"

namespace app {

KeyUsage::Result KeyUsage::Assign(const void* slot, const QString& text) {
    if (text.isEmpty()) {
        Forget(slot);
        return Cleared;
    }
    if (m_keys.value(slot) == text) {
        return Unchanged;
    }
    if (m_used.contains(text)) {
        return Duplicate;
    }
    Forget(slot);
    m_keys.insert(slot, text);
    m_used.insert(text);
    return Recorded;
}

void KeyUsage::Forget(const void* slot) {
    const auto it = m_keys.find(slot);
    if (it != m_keys.end()) {
        m_used.remove(it.value());
        m_keys.erase(it);
    }
}

void KeyUsage::Clear() {
    m_used.clear();
    m_keys.clear();
}

}  // namespace app
