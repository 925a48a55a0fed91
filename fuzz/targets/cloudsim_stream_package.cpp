// Stream link packages as the local cloud receives them from a client. An
// input is a run of packages back to back (each header's length says where
// the next begins), as one connection would send them: each is checked,
// decoded through the FlatBuffers verifier, and input messages drive a
// synthetic phone the way the stream connection does. The phone is drawn at
// the end, so whatever the inputs left in its state reaches the renderer.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "canvas.h"
#include "phone_renderer.h"
#include "relay_port/wire_format.h"
#include "stream_input.h"
#include "synthetic_phone.h"

namespace wire = relay_port::wire;

namespace {

int IntOf(const Json::Value& value) {
    const Json::UInt64 number = value.isUInt64() ? value.asUInt64() : 0;
    return number > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(number);
}

void Apply(const cloudsim::ClientMessage& message, cloudsim::SyntheticPhone& phone) {
    const Json::Value& f = message.fields;
    switch (message.type) {
        case wire::kTouch: {
            std::vector<std::pair<int64_t, int64_t>> points;
            for (const auto& point : f["points"]) points.emplace_back(point[0].asInt64(), point[1].asInt64());
            phone.Touch(IntOf(f["action"]), points);
            break;
        }
        case wire::kKey:
            phone.Key(IntOf(f["key"]), f["down"].asBool());
            break;
        case wire::kInputString:
            phone.InputText(f["text"].asString());
            break;
        case wire::kCopyString:
            phone.SetClipboard(f["text"].asString());
            break;
        case wire::kSetRotationReq:
            phone.SetRotation(static_cast<int>(f["a"].asUInt() & 3));
            break;
        default:
            break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    cloudsim::SyntheticPhone phone("fuzz-phone", "Fuzz");
    const uint64_t before = phone.Snapshot().version;
    size_t pos = 0;
    while (pos < size) {
        size_t frameLength = size - pos;
        if (frameLength >= wire::kHeaderSize) {
            const uint64_t declared = wire::GetBE32(data + pos + 4);
            if (declared + wire::kHeaderSize < frameLength) frameLength = declared + wire::kHeaderSize;
        }
        // Each frame in a buffer of its own size, as the connection receives it.
        const std::string frame(reinterpret_cast<const char*>(data + pos), frameLength);
        pos += frameLength;
        wire::PackageView view;
        if (wire::ReadPackage(frame.data(), frame.size(), &view) != wire::HeaderCheck::kOk) continue;
        cloudsim::ClientMessage message;
        if (cloudsim::DecodeClientMessage(view.type, view.body, view.bodyLength, message).empty()) {
            Apply(message, phone);
        }
    }
    const cloudsim::PhoneState state = phone.Snapshot();
    if (state.version != before) {
        cloudsim::Canvas canvas(state.width, state.height);
        cloudsim::RenderPhone(state, phone.Name(), "12:34:56", canvas);
    }
    return 0;
}
