#include "platform_peer/request_verifier.h"

#include <openssl/evp.h>
#include <openssl/hmac.h>

#include <chrono>
#include <cstdlib>
#include <exception>
#include <memory>

#include <json/reader.h>

#include "body_checks.h"

namespace platform_peer {

const char* const kPhoneConnectPath = "/sdk/instance/phone-connect";
const char* const kRefreshSessionPath = "/sdk/instance/refresh-session";
const char* const kGroupControlPath = "/sdk/instance/phone-group-control-connect";
const char* const kScreenshotPath = "/sdk/instance/screenshot";
const char* const kSecurityTokenPath = "/stat/message/security-token";
const char* const kMessageCollectPath = "/stat/message/collect";

namespace {

const char* const kContentType = "Content-Type";
const char* const kAccessKey = "Platform-Access-Key";
const char* const kDateTime = "Platform-Request-DateTime";
const char* const kSignature = "Platform-Request-Signature";

std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

std::string ToHex(const unsigned char* bytes, size_t length) {
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(length * 2);
    for (size_t i = 0; i < length; ++i) {
        hex.push_back(digits[bytes[i] >> 4]);
        hex.push_back(digits[bytes[i] & 0x0f]);
    }
    return hex;
}

int64_t NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

bool ParseDecimal(const std::string& text, int64_t& value) {
    if (text.empty() || text.size() > 18) return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

// Positions of the headers named `name` (case-insensitive).
std::vector<size_t> FindHeader(const peers::HeaderList& headers, const char* name) {
    std::vector<size_t> found;
    const std::string wanted = Lower(name);
    for (size_t i = 0; i < headers.size(); ++i) {
        if (Lower(headers[i].first) == wanted) found.push_back(i);
    }
    return found;
}

std::string CheckContentType(const peers::HttpRequest& request, size_t& position) {
    const auto found = FindHeader(request.headers, kContentType);
    if (found.size() != 1) return "expected one Content-Type header, got " + std::to_string(found.size());
    position = found[0];
    if (request.headers[position].second != "application/json") {
        return "Content-Type is \"" + request.headers[position].second + "\", not \"application/json\"";
    }
    return "";
}

// "userId,3,sdkVersion,ms" in standard Base64.
std::string DecodeTicket(const std::string& ticket, VerifiedRequest& out) {
    std::string plain;
    if (!Base64Decode(ticket, plain)) return "clientTicket is not Base64: \"" + ticket + "\"";
    const size_t lastComma = plain.rfind(',');
    if (lastComma == std::string::npos || lastComma == 0) return "clientTicket \"" + plain + "\" has no time";
    const size_t versionComma = plain.rfind(',', lastComma - 1);
    if (versionComma == std::string::npos || versionComma < 2 ||
        plain.compare(versionComma - 2, 2, ",3") != 0) {
        return "clientTicket \"" + plain + "\" is not userId,3,version,ms";
    }
    out.ticketUserId = plain.substr(0, versionComma - 2);
    out.ticketSdkVersion = plain.substr(versionComma + 1, lastComma - versionComma - 1);
    if (!ParseDecimal(plain.substr(lastComma + 1), out.ticketMs)) {
        return "clientTicket \"" + plain + "\" ends in no decimal time";
    }
    return "";
}

std::string CheckUnsignedTokenCall(const peers::HttpRequest& request) {
    size_t position = 0;
    std::string error = CheckContentType(request, position);
    if (!error.empty()) return error;
    for (const char* name : {kAccessKey, kDateTime, kSignature}) {
        if (!FindHeader(request.headers, name).empty()) {
            return std::string("security-token call carries a ") + name + " header";
        }
    }
    if (!request.body.empty()) return "security-token body is not empty: \"" + request.body + "\"";
    return "";
}

std::string CheckSignedHeaders(const peers::HttpRequest& request, const KeyTable& keys,
                               const VerifyOptions& options, VerifiedRequest& out) {
    size_t contentType = 0;
    std::string error = CheckContentType(request, contentType);
    if (!error.empty()) return error;
    size_t positions[3] = {};
    const char* names[3] = {kAccessKey, kDateTime, kSignature};
    for (int i = 0; i < 3; ++i) {
        const auto found = FindHeader(request.headers, names[i]);
        if (found.size() != 1) {
            return std::string("expected one ") + names[i] + " header, got " + std::to_string(found.size());
        }
        positions[i] = found[0];
    }
    if (!(contentType < positions[0] && positions[0] < positions[1] && positions[1] < positions[2])) {
        return "headers out of order: Content-Type, Platform-Access-Key, Platform-Request-DateTime, "
               "Platform-Request-Signature expected";
    }
    out.accessKey = request.headers[positions[0]].second;
    const std::string date = request.headers[positions[1]].second;
    const std::string signature = request.headers[positions[2]].second;

    const auto key = keys.find(out.accessKey);
    if (key == keys.end()) return "unknown access key \"" + out.accessKey + "\"";
    if (!ParseDecimal(date, out.dateMs)) return "date header \"" + date + "\" is not decimal milliseconds";
    const int64_t now = options.nowMs != 0 ? options.nowMs : NowMs();
    if (std::llabs(now - out.dateMs) > options.maxClockSkewMs) {
        return "date header " + date + " is " + std::to_string(now - out.dateMs) + " ms off the clock";
    }
    const std::string expected = HmacSha256Hex(key->second, date + "#" + Sha256Hex(request.body));
    if (signature != expected) return "signature mismatch: got \"" + signature + "\", expected \"" + expected + "\"";
    return "";
}

std::string ParseBody(const std::string& text, Json::Value& body) {
    Json::CharReaderBuilder builder;
    builder["strictRoot"] = true;
    builder["failIfExtra"] = true;
    builder["rejectDupKeys"] = true;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    std::string errors;
    bool parsed = false;
    try {
        parsed = reader->parse(text.data(), text.data() + text.size(), &body, &errors);
    } catch (const std::exception& e) {
        // The reader throws when nesting exceeds its stack limit.
        errors = e.what();
    }
    if (!parsed) {
        body = Json::Value();
        return "body is not JSON: " + errors;
    }
    if (body.toStyledString() != text) return "body is not in the styled writer's form";
    return "";
}

std::string CheckTicket(const Json::Value& body, VerifiedRequest& out) {
    std::string error = DecodeTicket(body["clientTicket"].asString(), out);
    if (!error.empty()) return error;
    if (out.ticketUserId != body["userId"].asString()) {
        return "clientTicket user \"" + out.ticketUserId + "\" differs from userId \"" + body["userId"].asString() +
               "\"";
    }
    if (out.ticketMs != out.dateMs) {
        return "clientTicket time " + std::to_string(out.ticketMs) + " differs from the date header " +
               std::to_string(out.dateMs);
    }
    return "";
}

}  // namespace

std::string Sha256Hex(const std::string& data) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(data.data(), data.size(), digest, &length, EVP_sha256(), nullptr) != 1) return "";
    return ToHex(digest, length);
}

std::string HmacSha256Hex(const std::string& key, const std::string& message) {
    unsigned char mac[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (HMAC(EVP_sha256(), key.data(), static_cast<int>(key.size()),
             reinterpret_cast<const unsigned char*>(message.data()), message.size(), mac, &length) == nullptr) {
        return "";
    }
    return ToHex(mac, length);
}

bool Base64Decode(const std::string& text, std::string& bytes) {
    auto value = [](char c) -> int {
        if (c >= 'A' && c <= 'Z') return c - 'A';
        if (c >= 'a' && c <= 'z') return c - 'a' + 26;
        if (c >= '0' && c <= '9') return c - '0' + 52;
        if (c == '+') return 62;
        if (c == '/') return 63;
        return -1;
    };
    bytes.clear();
    if (text.size() % 4 != 0) return false;
    for (size_t i = 0; i < text.size(); i += 4) {
        const bool last = i + 4 == text.size();
        int v[4];
        int padding = 0;
        for (int j = 0; j < 4; ++j) {
            const char c = text[i + j];
            if (c == '=' && last && j >= 2) {
                ++padding;
                v[j] = 0;
                continue;
            }
            if (padding > 0) return false;  // data after padding
            v[j] = value(c);
            if (v[j] < 0) return false;
        }
        const unsigned triple = (v[0] << 18) | (v[1] << 12) | (v[2] << 6) | v[3];
        bytes.push_back(static_cast<char>((triple >> 16) & 0xff));
        if (padding < 2) bytes.push_back(static_cast<char>((triple >> 8) & 0xff));
        if (padding < 1) bytes.push_back(static_cast<char>(triple & 0xff));
    }
    return true;
}

std::string VerifyPlatformRequest(const peers::HttpRequest& request, const KeyTable& keys,
                                  const VerifyOptions& options, VerifiedRequest* out) {
    VerifiedRequest local;
    VerifiedRequest& call = out != nullptr ? *out : local;
    call = VerifiedRequest();
    call.path = request.target.substr(0, request.target.find('?'));
    if (request.method != "POST") return "method is " + request.method + ", not POST";

    if (call.path == kSecurityTokenPath) return CheckUnsignedTokenCall(request);

    std::string (*checkBody)(const Json::Value&) = nullptr;
    bool hasTicket = false;
    if (call.path == kPhoneConnectPath) {
        checkBody = CheckPhoneConnectBody;
        hasTicket = true;
    } else if (call.path == kRefreshSessionPath) {
        checkBody = CheckRefreshSessionBody;
    } else if (call.path == kGroupControlPath) {
        checkBody = CheckGroupControlBody;
        hasTicket = true;
    } else if (call.path == kScreenshotPath) {
        checkBody = CheckScreenshotBody;
    } else if (call.path == kMessageCollectPath) {
        checkBody = CheckMessageCollectBody;
    } else {
        return "unknown path \"" + call.path + "\"";
    }

    call.isSigned = true;
    std::string error = CheckSignedHeaders(request, keys, options, call);
    if (error.empty()) error = ParseBody(request.body, call.body);
    if (error.empty()) error = checkBody(call.body);
    if (error.empty() && hasTicket) error = CheckTicket(call.body, call);
    return error;
}

}  // namespace platform_peer
