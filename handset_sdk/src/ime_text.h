#pragma once
// The text an input method committed, as the desktop client hands it over:
// window message 270 carries it as a NUL-terminated UTF-8 const char* in lParam.
#include <cstdint>
#include <string>

namespace handset_sdk {

constexpr int kMsgImeCompositionEnd = 270;
constexpr int kMsgChar = 258;

// false when the message carries no text pointer.
bool ReadImeResultText(uint64_t lParam, std::string& text);

}  // namespace handset_sdk
