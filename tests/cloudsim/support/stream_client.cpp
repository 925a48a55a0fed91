#include "stream_client.h"

#include "relay_port/relay_messages_generated.h"
#include "relay_port/wire_format.h"

namespace cloudsim_test {
namespace {

namespace msg = relay_port::msg;
namespace wire = relay_port::wire;

std::string Finish(uint32_t type, flatbuffers::FlatBufferBuilder& b) {
    return build::Package(type, std::string(reinterpret_cast<const char*>(b.GetBufferPointer()), b.GetSize()));
}

template <typename T>
const T* Table(const Package& package) {
    const auto* data = reinterpret_cast<const uint8_t*>(package.body.data());
    flatbuffers::Verifier verifier(data, package.body.size());
    if (!verifier.VerifyBuffer<T>(nullptr)) return nullptr;
    return flatbuffers::GetRoot<T>(data);
}

std::string Text(const flatbuffers::String* text) { return text ? text->str() : ""; }

}  // namespace

namespace build {

std::string Package(uint32_t type, const std::string& body) {
    std::string package(wire::kHeaderSize, '\0');
    wire::WriteHeader(&package[0], type, static_cast<uint32_t>(body.size()));
    return package + body;
}

std::string AuthReq(const std::string& sessionId, const std::string& instanceNo) {
    flatbuffers::FlatBufferBuilder b(1024);
    b.Finish(msg::CreateAuthReqDirect(b, sessionId.c_str(), instanceNo.c_str(), "1.1.0", 3, 0, nullptr, 2, 1));
    return Finish(wire::kAuthReq, b);
}

std::string PlayReq(uint32_t fps, uint32_t bitrateKbps, const std::string& sessionId) {
    flatbuffers::FlatBufferBuilder b(1024);
    b.Finish(msg::CreatePlayReqDirect(b, 264, bitrateKbps, fps, 720, 1280, 1, 48000, 2, "", "", sessionId.c_str(), 1));
    return Finish(wire::kPlayReq, b);
}

std::string Touch(uint8_t action, const std::vector<std::pair<uint32_t, uint32_t>>& points) {
    flatbuffers::FlatBufferBuilder b(1024);
    std::vector<msg::Point> list;
    for (const auto& p : points) list.emplace_back(p.first, p.second);
    b.Finish(msg::CreateTouchReqDirect(b, action, list.empty() ? nullptr : &list));
    return Finish(wire::kTouch, b);
}

std::string Key(uint8_t key, bool down) {
    flatbuffers::FlatBufferBuilder b(1024);
    b.Finish(msg::CreateKeyReq(b, key, down ? 1 : 0));
    return Finish(wire::kKey, b);
}

std::string InputString(const std::string& text) {
    flatbuffers::FlatBufferBuilder b(1024);
    b.Finish(msg::CreateTextReqDirect(b, text.c_str()));
    return Finish(wire::kInputString, b);
}

std::string CopyString(const std::string& text) {
    flatbuffers::FlatBufferBuilder b(1024);
    b.Finish(msg::CreateTextReqDirect(b, text.c_str()));
    return Finish(wire::kCopyString, b);
}

std::string SetRotation(uint32_t a, uint32_t bValue) {
    flatbuffers::FlatBufferBuilder b(1024);
    b.Finish(msg::CreateSetRotationReq(b, a, bValue, 1));
    return Finish(wire::kSetRotationReq, b);
}

std::string DelayProbe(int64_t time, const std::string& sessionId) {
    flatbuffers::FlatBufferBuilder b(1024);
    b.Finish(msg::CreateDelayReqDirect(b, time, sessionId.c_str(), time));
    return Finish(wire::kDelay, b);
}

std::string SetVideoParam(uint32_t fps, uint32_t bitrate, uint32_t width, uint32_t height) {
    flatbuffers::FlatBufferBuilder b(1024);
    b.Finish(msg::CreateSetVideoParamReqDirect(b, fps, bitrate, width, height, "", 1));
    return Finish(wire::kSetVideoParamReq, b);
}

std::string PlayControl(uint8_t first, uint8_t second) {
    flatbuffers::FlatBufferBuilder b(1024);
    b.Finish(msg::CreatePlayControlReqDirect(b, second, first, "", 1));
    return Finish(wire::kPlayControlReq, b);
}

std::string MsgTransReq(const std::string& service, const std::string& text) {
    flatbuffers::FlatBufferBuilder b(1024);
    b.Finish(msg::CreateMsgTransReqDirect(b, text.c_str(), service.c_str(), "", 1));
    return Finish(wire::kMsgTransReq, b);
}

std::string InputMode(uint32_t mode) {
    flatbuffers::FlatBufferBuilder b(1024);
    b.Finish(msg::CreateInputModeReqDirect(b, mode, "", 1));
    return Finish(wire::kInputModeReq, b);
}

}  // namespace build

namespace read {

bool CodeMsg(const Package& package, int32_t& code, std::string& text) {
    switch (package.type) {
        case wire::kAuthRes:
            if (auto t = Table<msg::AuthRes>(package)) return code = t->code(), text = Text(t->msg()), true;
            return false;
        case wire::kPlayRes:
            if (auto t = Table<msg::PlayRes>(package)) return code = t->code(), text = Text(t->msg()), true;
            return false;
        case wire::kError:
            if (auto t = Table<msg::Error>(package)) return code = t->code(), text = Text(t->msg()), true;
            return false;
        case wire::kVideoParamRes:
            if (auto t = Table<msg::VideoParamRes>(package)) return code = t->code(), text = Text(t->msg()), true;
            return false;
        case wire::kSetRotationRes:
            if (auto t = Table<msg::SetRotationRes>(package)) return code = t->code(), text.clear(), true;
            return false;
        case wire::kMsgTransRes:
            if (auto t = Table<msg::MsgTransRes>(package)) {
                return code = static_cast<int32_t>(t->code()), text = Text(t->msg()), true;
            }
            return false;
        case wire::kOfferRes:
            if (auto t = Table<msg::OfferRes>(package)) return code = t->code(), text = Text(t->msg()), true;
            return false;
        default:
            if (auto t = Table<msg::CodeMsgRes>(package)) return code = t->code(), text = Text(t->msg()), true;
            return false;
    }
}

bool PlayValues(const Package& package, uint32_t& width, uint32_t& height, uint32_t& fps, uint32_t& bitrate) {
    auto t = package.type == wire::kPlayRes ? Table<msg::PlayRes>(package) : nullptr;
    if (!t) return false;
    width = t->width();
    height = t->height();
    fps = t->fps();
    bitrate = t->bitrate();
    return true;
}

bool ScreenOut(const Package& package, uint32_t& rotation, uint32_t& width, uint32_t& height) {
    auto t = package.type == wire::kScreenOut ? Table<msg::ScreenOut>(package) : nullptr;
    if (!t) return false;
    rotation = t->rotation();
    width = t->width();
    height = t->height();
    return true;
}

bool Cursor(const Package& package, uint32_t& state) {
    auto t = package.type == wire::kCursor ? Table<msg::Cursor>(package) : nullptr;
    if (!t) return false;
    state = t->state();
    return true;
}

bool CopyOut(const Package& package, std::string& text) {
    auto t = package.type == wire::kCopyOut ? Table<msg::CopyOut>(package) : nullptr;
    if (!t) return false;
    text = Text(t->data());
    return true;
}

bool DelayEcho(const Package& package, int64_t& time) {
    auto t = package.type == wire::kDelay ? Table<msg::DelayReq>(package) : nullptr;
    if (!t) return false;
    time = t->time();
    return true;
}

}  // namespace read

bool StreamClient::Connect(const std::string& url) { return m_ws.Connect(url); }

bool StreamClient::Send(const std::string& package) { return m_ws.SendBinary(package); }

bool StreamClient::Next(Package& out, int timeoutMs) {
    while (true) {
        std::string data;
        bool binary = false;
        if (!m_ws.Receive(data, binary, timeoutMs)) return false;
        if (!binary) continue;
        out = Package();
        out.frameLength = data.size();
        if (data.size() < wire::kHeaderSize) {
            out.wellFormed = false;
            out.body = data;
            return true;
        }
        wire::PackageView view;
        out.wellFormed = wire::ReadPackage(data.data(), data.size(), &view) == wire::HeaderCheck::kOk;
        out.type = view.type;
        out.body = data.substr(wire::kHeaderSize);
        return true;
    }
}

bool StreamClient::WaitFor(uint32_t type, Package& out, int maxPackages) {
    for (int i = 0; i < maxPackages; ++i) {
        if (!Next(out)) return false;
        if (out.type == type && out.wellFormed) return true;
        m_seen.push_back(out);
    }
    return false;
}

bool StreamClient::AuthAndPlay(const std::string& sessionId, const std::string& instanceNo, uint32_t fps) {
    Package package;
    int32_t code = -1;
    std::string text;
    if (!Send(build::AuthReq(sessionId, instanceNo)) || !WaitFor(wire::kAuthRes, package) ||
        !read::CodeMsg(package, code, text) || code != 0) {
        return false;
    }
    if (!Send(build::PlayReq(fps, 1000, sessionId)) || !WaitFor(wire::kPlayRes, package) ||
        !read::CodeMsg(package, code, text)) {
        return false;
    }
    return code == 0;
}

}  // namespace cloudsim_test
