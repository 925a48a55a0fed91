// Node packages as the client receives them: the frame is split into header
// and JSON body (also offered as a text frame, which is only logged), then
// every answer parser reads the body (a heartbeat's time also goes through
// the delay the link computes from it). Parsed instance numbers must stay
// terminated inside their fixed fields.
#include <cstdint>

#include "fuzz_support.h"
#include "node_answers.h"
#include "node_clock.h"
#include "node_message_types.h"
#include "package_codec.h"

namespace fl = fleet_link;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz_support::QuietLogs();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    constexpr int kBinaryFrame = 2;
    constexpr int kTextFrame = 1;
    const char* frame = reinterpret_cast<const char*>(data);
    fl::UnpackedPackage package;
    fl::UnpackPackage(frame, size, kTextFrame, package);
    if (!fl::UnpackPackage(frame, size, kBinaryFrame, package)) return 0;

    const char* body = package.body;
    const size_t length = package.bodyLength;
    { fl::RegisterRsp m; fl::ParseRegisterRsp(body, length, m); }
    {
        // The link answers a node's heartbeat with half the time since its "ts".
        fl::HeartBeatReq m;
        if (fl::ParseHeartBeatReq(body, length, m)) fl::HeartBeatDelay(1700000000000, m.ts);
    }
    { fl::CommonRsp m; fl::ParseCommonRsp(body, length, m); }
    {
        fl::InstanceStatusRsp m;
        if (fl::ParseInstanceStatusRsp(body, length, m)) {
            for (const auto& info : m.instances) {
                if (info.instanceNo[sizeof info.instanceNo - 1] != '\0') __builtin_trap();
            }
        }
    }
    {
        fl::ErrorRsp m;
        if (fl::ParseErrorRsp(body, length, m)) {
            for (const auto& info : m.instances) {
                if (info.instanceNo[sizeof info.instanceNo - 1] != '\0') __builtin_trap();
            }
        }
    }
    return 0;
}
