// Platform answers (the body of an HTTP 200) of every endpoint: each input is
// read by the parser of every endpoint, and the statistics secret of a
// security-token answer is trimmed the way the client stores it.
#include <cstdint>
#include <string>

#include "answer_parsers.h"
#include "fuzz_support.h"
#include "stat_credentials.h"

namespace pc = plat_client;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz_support::QuietLogs();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string body = fuzz_support::Text(data, size);
    { pc::PhoneConnectRsp rsp; pc::ParsePhoneConnectRsp(body, rsp); }
    { pc::RefreshSessionRsp rsp; pc::ParseRefreshSessionRsp(body, rsp); }
    { pc::PhoneGroupControlConnectRsp rsp; pc::ParseGroupControlRsp(body, rsp); }
    { pc::ScreenshotRsp rsp; pc::ParseScreenshotRsp(body, rsp); }
    { pc::MessageCollectRsp rsp; pc::ParseMessageCollectRsp(body, rsp); }
    {
        pc::SecurityTokenRsp rsp;
        if (pc::ParseSecurityTokenRsp(body, rsp)) pc::TrimStatSecret(rsp.accessSecretKey);
    }
    return 0;
}
