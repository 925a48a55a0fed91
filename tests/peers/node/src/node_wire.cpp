#include "peers/node_wire.h"

#include <memory>
#include <sstream>

#include <json/reader.h>
#include <json/writer.h>

namespace peers {

namespace {

void PutWord(std::string& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<char>((value >> shift) & 0xff));
    }
}

uint32_t GetWord(const std::string& in, size_t at) {
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i) {
        value = (value << 8) | static_cast<unsigned char>(in[at + i]);
    }
    return value;
}

}  // namespace

std::string FrameNodePackage(uint32_t type, const std::string& body) {
    std::string frame;
    frame.reserve(8 + body.size());
    PutWord(frame, type);
    PutWord(frame, static_cast<uint32_t>(body.size()));
    frame += body;
    return frame;
}

bool SplitNodePackage(const std::string& frame, uint32_t& type, std::string& body) {
    if (frame.size() < 8) {
        return false;
    }
    uint32_t length = GetWord(frame, 4);
    if (length != frame.size() - 8) {
        return false;
    }
    type = GetWord(frame, 0);
    body = frame.substr(8);
    return true;
}

bool ReadNodeJson(const std::string& text, Json::Value& root) {
    Json::CharReaderBuilder builder;
    Json::CharReaderBuilder::strictMode(&builder.settings_);
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    std::string errors;
    try {
        return reader->parse(text.data(), text.data() + text.size(), &root, &errors);
    } catch (const std::exception&) {
        return false;
    }
}

std::string WriteNodeJson(const Json::Value& value) {
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "";
    return Json::writeString(builder, value);
}

}  // namespace peers
