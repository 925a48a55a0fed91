// Stream link packages as the client receives them. Each input is one binary
// frame: the link's own receive path checks the header and dispatches the
// body to its message parser (FlatBuffers verification first). The link was
// never started, so nothing is sent back and no timer runs. Every parser
// then also reads the body, aligned and misaligned, whatever the type said.
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "fuzz_support.h"
#include "relay_port/message_parser.h"
#include "relay_port/wire_format.h"
#include "ws_control.h"

namespace wire = relay_port::wire;

namespace {

void ParseWithEveryParser(const uint8_t* body, size_t length) {
    { wire::AuthResult m; wire::ParseAuthResult(body, length, &m); }
    { wire::PlayResult m; wire::ParsePlayResult(body, length, &m); }
    { wire::OfferResult m; wire::ParseOfferResult(body, length, &m); }
    { wire::CodeMsgResult m; wire::ParseCodeMsgResult(body, length, &m); }
    { wire::CandidateMsg m; wire::ParseCandidate(body, length, &m); }
    { wire::ErrorMsg m; wire::ParseError(body, length, &m); }
    { wire::AppResult m; wire::ParseAppResult(body, length, &m); }
    { wire::VideoParamResult m; wire::ParseVideoParamResult(body, length, &m); }
    { wire::MsgTransRequest m; wire::ParseMsgTransRequest(body, length, &m); }
    { wire::MsgTransResponse m; wire::ParseMsgTransResponse(body, length, &m); }
    { wire::DelayEcho m; wire::ParseDelayEcho(body, length, &m); }
    { wire::SetRotationResult m; wire::ParseSetRotationResult(body, length, &m); }
    { wire::ScreenOutMsg m; wire::ParseScreenOut(body, length, &m); }
    { wire::CopyOutMsg m; wire::ParseCopyOut(body, length, &m); }
    { wire::CloudNotifyMsg m; wire::ParseCloudNotify(body, length, &m); }
    { wire::AppEventMsg m; wire::ParseAppEvent(body, length, &m); }
    { wire::SensorOutMsg m; wire::ParseSensorOut(body, length, &m); }
    { wire::MicOutMsg m; wire::ParseMicOut(body, length, &m); }
    { wire::CameraOutMsg m; wire::ParseCameraOut(body, length, &m); }
    { wire::CursorMsg m; wire::ParseCursor(body, length, &m); }
    { wire::VideoFrame m; wire::ParseVideoFrame(body, length, &m); }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz_support::QuietLogs();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const auto link = std::make_shared<relay_port::CWSControl>();
    link->OnWebSocketData(reinterpret_cast<const char*>(data), size, net_engine::WS_FRAME_BINARY, nullptr);

    wire::PackageView package;
    if (wire::ReadPackage(data, size, &package) != wire::HeaderCheck::kOk) return 0;
    ParseWithEveryParser(package.body, package.bodyLength);
    // The same body one byte off its alignment, as it may sit in a receive buffer.
    std::vector<uint8_t> shifted(package.bodyLength + 1);
    if (package.bodyLength > 0) std::memcpy(shifted.data() + 1, package.body, package.bodyLength);
    ParseWithEveryParser(shifted.data() + 1, package.bodyLength);
    return 0;
}
