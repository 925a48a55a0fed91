#pragma once
// Reads the packages a client sends on the stream link: the body of each
// known type is verified and its values laid out by name, which is both what
// the record keeps and what the stream connection acts on.
#include <cstddef>
#include <cstdint>
#include <string>

#include <json/value.h>

namespace cloudsim {

struct ClientMessage {
    uint32_t type = 0;
    std::string kind;     // "auth", "play", "key", "touch", ... "unknown"
    Json::Value fields;   // values by name
};

// Texts longer than this are kept cut in the record ("length" keeps the size).
constexpr size_t kMaxRecordedText = 65536;

// "" when the body was read into out, else why it was refused (a body that
// fails FlatBuffers verification, a raw body of the wrong size).
std::string DecodeClientMessage(uint32_t type, const uint8_t* body, size_t length, ClientMessage& out);

}  // namespace cloudsim
