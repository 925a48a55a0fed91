#pragma once
// A stream link client for tests on the test peers' WebSocket client: builds
// the client packages, reads the server's and keeps the media it passes.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "peers/clients.h"

namespace cloudsim_test {

struct Package {
    uint32_t type = 0;
    std::string body;
    size_t frameLength = 0;  // the whole frame, header included
    bool wellFormed = true;  // the header's length matches the frame
};

namespace build {
std::string Package(uint32_t type, const std::string& body);
std::string AuthReq(const std::string& sessionId, const std::string& instanceNo);
std::string PlayReq(uint32_t fps, uint32_t bitrateKbps, const std::string& sessionId);
std::string Touch(uint8_t action, const std::vector<std::pair<uint32_t, uint32_t>>& points);
std::string Key(uint8_t key, bool down);
std::string InputString(const std::string& text);
std::string CopyString(const std::string& text);
std::string SetRotation(uint32_t a, uint32_t b);
std::string DelayProbe(int64_t time, const std::string& sessionId);
std::string SetVideoParam(uint32_t fps, uint32_t bitrate, uint32_t width, uint32_t height);
std::string PlayControl(uint8_t first, uint8_t second);
std::string MsgTransReq(const std::string& service, const std::string& msg);
std::string InputMode(uint32_t mode);
}  // namespace build

// Fields of server packages, read through the FlatBuffers verifier.
namespace read {
bool CodeMsg(const Package& package, int32_t& code, std::string& msg);  // 1001, 1003, 1099, 2005, 2013, ...
bool PlayValues(const Package& package, uint32_t& width, uint32_t& height, uint32_t& fps, uint32_t& bitrate);
bool ScreenOut(const Package& package, uint32_t& rotation, uint32_t& width, uint32_t& height);
bool Cursor(const Package& package, uint32_t& state);
bool CopyOut(const Package& package, std::string& text);
bool DelayEcho(const Package& package, int64_t& time);
}  // namespace read

class StreamClient {
public:
    bool Connect(const std::string& url);
    bool Send(const std::string& package);
    // The next binary package; false on close or time-out.
    bool Next(Package& out, int timeoutMs = 5000);
    // Reads until a package of type arrives (others are kept in Seen());
    // false when the link ends or maxPackages go by first.
    bool WaitFor(uint32_t type, Package& out, int maxPackages = 5000);
    // Auth then play; true when both results carry code 0.
    bool AuthAndPlay(const std::string& sessionId, const std::string& instanceNo, uint32_t fps = 5);
    const std::vector<Package>& Seen() const { return m_seen; }
    void ClearSeen() { m_seen.clear(); }
    void Close() { m_ws.Close(); }
    bool IsOpen() const { return m_ws.IsOpen(); }

private:
    peers::WsClient m_ws;
    std::vector<Package> m_seen;
};

}  // namespace cloudsim_test
