#include "http_helpers.h"

#include <exception>
#include <memory>

#include <json/reader.h>
#include <json/writer.h>

namespace cloudsim {
namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string PercentDecode(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '+') {
            out += ' ';
        } else if (text[i] == '%' && i + 2 < text.size() &&
                   HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace

std::string TargetPath(const std::string& target) {
    const size_t query = target.find_first_of("?#");
    return query == std::string::npos ? target : target.substr(0, query);
}

std::map<std::string, std::string> TargetQuery(const std::string& target) {
    std::map<std::string, std::string> query;
    const size_t start = target.find('?');
    if (start == std::string::npos) return query;
    std::string rest = target.substr(start + 1);
    const size_t fragment = rest.find('#');
    if (fragment != std::string::npos) rest.resize(fragment);
    size_t pos = 0;
    while (pos <= rest.size()) {
        size_t end = rest.find('&', pos);
        if (end == std::string::npos) end = rest.size();
        const std::string pair = rest.substr(pos, end - pos);
        if (!pair.empty()) {
            const size_t eq = pair.find('=');
            const std::string key = PercentDecode(pair.substr(0, eq));
            const std::string value = eq == std::string::npos ? "" : PercentDecode(pair.substr(eq + 1));
            query[key] = value;
        }
        pos = end + 1;
    }
    return query;
}

std::string CompactJson(const Json::Value& value) {
    Json::StreamWriterBuilder writer;
    writer["indentation"] = "";
    return Json::writeString(writer, value);
}

peers::HttpReply JsonReply(const Json::Value& body, int status) {
    peers::HttpReply reply;
    reply.status = status;
    reply.headers = {{"Content-Type", "application/json"}};
    reply.body = CompactJson(body);
    return reply;
}

peers::HttpReply PlatformReply(int code, const std::string& msg, const Json::Value& data) {
    Json::Value body(Json::objectValue);
    body["code"] = code;
    body["msg"] = msg;
    if (!data.isNull()) body["data"] = data;
    return JsonReply(body);
}

peers::HttpReply TextReply(int status, const std::string& text) {
    peers::HttpReply reply;
    reply.status = status;
    reply.headers = {{"Content-Type", "text/plain; charset=utf-8"}};
    reply.body = text + "\n";
    return reply;
}

bool ParseJsonBody(const std::string& body, Json::Value& out, std::string* error) {
    Json::CharReaderBuilder builder;
    builder["collectComments"] = false;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    std::string errors;
    bool parsed = false;
    try {
        parsed = reader->parse(body.data(), body.data() + body.size(), &out, &errors);
    } catch (const std::exception& e) {
        // The reader throws when nesting exceeds its stack limit.
        errors = e.what();
    }
    if (!parsed) {
        out = Json::Value();
        if (error) *error = "body is not JSON: " + errors;
        return false;
    }
    return true;
}

}  // namespace cloudsim
