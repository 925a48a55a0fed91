#include "ime_text.h"

#include <cstring>

namespace handset_sdk {

namespace {
// Longer compositions are cut: no input method commits this much at once.
constexpr size_t kMaxImeText = 4096;
}  // namespace

bool ReadImeResultText(uint64_t lParam, std::string& text) {
    const char* committed = reinterpret_cast<const char*>(static_cast<uintptr_t>(lParam));
    if (committed == nullptr) return false;
    size_t n = strnlen(committed, kMaxImeText);
    // A cut text ends before the character it would split.
    if (n == kMaxImeText) {
        while (n > 0 && (static_cast<unsigned char>(committed[n]) & 0xC0) == 0x80) --n;
    }
    text.assign(committed, n);
    return true;
}

}  // namespace handset_sdk
