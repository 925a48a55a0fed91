#include "json_text.h"

#include <climits>
#include <exception>

#include <json/reader.h>
#include <json/writer.h>

#include "common/qv_log.h"

// FastWriter and Reader give the exact compact form and reading rules the
// node protocol was defined with; jsoncpp marks them deprecated.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace fleet_link {

std::string WriteCompactJson(const Json::Value& value) {
    Json::FastWriter writer;
    std::string text = writer.write(value);
    if (!text.empty() && text.back() == '\n') {
        text.pop_back();
    }
    return text;
}

bool ReadJsonText(const char* text, size_t length, Json::Value& root) {
    const char* begin = text ? text : "";
    const char* end = text ? text + length : begin;
    bool ok = false;
    try {
        Json::Reader reader;
        ok = reader.parse(begin, end, root, true);
    } catch (const std::exception&) {
        // The reader throws on documents nested too deeply.
        ok = false;
    }
    if (!ok) {
        int shown = length > static_cast<size_t>(INT_MAX) ? INT_MAX : static_cast<int>(length);
        QV_LOG(60, "[FLEET_LINK]parse json[%.*s] failed", text ? shown : 0, begin);
        root = Json::Value();
    }
    return ok;
}

}  // namespace fleet_link
