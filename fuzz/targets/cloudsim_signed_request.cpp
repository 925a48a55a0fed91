// Platform calls as the local cloud receives them. The first byte of an input
// picks the path (and whether the call is a POST); the rest is the body. The
// headers are signed correctly for that body, so that every body reaches the
// cloud's lenient JSON read (which finds the instance a call concerns) and
// the verifier's strict read, endpoint checks and client ticket decoding.
#include <cstdint>
#include <string>

#include <json/value.h>

#include "fuzz_support.h"
#include "http_helpers.h"
#include "platform_peer/request_verifier.h"

namespace pp = platform_peer;

namespace {

constexpr int64_t kNowMs = 1700000000000;
const char* const kAccessKey = "ak-fuzz";
const char* const kSecret = "sk-fuzz";

const char* PathOf(uint8_t selector) {
    switch (selector % 7) {
        case 0: return pp::kPhoneConnectPath;
        case 1: return pp::kRefreshSessionPath;
        case 2: return pp::kGroupControlPath;
        case 3: return pp::kScreenshotPath;
        case 4: return pp::kSecurityTokenPath;
        case 5: return pp::kMessageCollectPath;
        default: return "/sdk/instance/unknown";
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz_support::Selected input;
    if (!fuzz_support::Select(data, size, input)) return 0;
    peers::HttpRequest request;
    request.method = (input.selector & 0x80) != 0 ? "GET" : "POST";
    request.target = PathOf(input.selector);
    if ((input.selector & 0x40) != 0) request.target += "?from=fuzz";
    request.body = fuzz_support::Text(input.rest, input.restSize);
    const std::string date = std::to_string(kNowMs);
    request.headers = {{"Content-Type", "application/json"},
                       {"Platform-Access-Key", kAccessKey},
                       {"Platform-Request-DateTime", date},
                       {"Platform-Request-Signature",
                        pp::HmacSha256Hex(kSecret, date + "#" + pp::Sha256Hex(request.body))}};

    Json::Value lenient;
    cloudsim::ParseJsonBody(request.body, lenient, nullptr);

    pp::VerifyOptions options;
    options.nowMs = kNowMs;
    pp::VerifiedRequest verified;
    pp::VerifyPlatformRequest(request, {{kAccessKey, kSecret}}, options, &verified);
    return 0;
}
