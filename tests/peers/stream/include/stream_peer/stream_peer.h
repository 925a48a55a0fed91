#pragma once
// A scripted stream server on 127.0.0.1 (WebSocket, plain or TLS). It records
// every package the client sends and, unless told otherwise, answers like a
// stream server: auth result for 1000, play result for 1002, echo for 2009.
// Handlers run on the server's thread; every method may be called from any thread.
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "peers/ws_server.h"
#include "stream_peer/message_writer.h"
#include "stream_peer/table_reader.h"

namespace stream_peer {

// Type codes the peer reads and writes, written out on its own.
enum PeerType : uint32_t {
    kAuthReq = 1000, kAuthRes = 1001, kPlayReq = 1002, kPlayRes = 1003, kError = 1099,
    kDelay = 2009, kDelayReport = 2010, kDummy = 3999, kVideo = 4009, kAudio = 4010,
};

struct ClientPackage {
    int session = 0;          // WsSession id (1, 2, ... one per connection)
    uint32_t type = 0;
    uint32_t declaredLength = 0;
    std::string raw;          // the whole frame
    std::string body;         // bytes after the header
    TableReader Table() const { return TableReader(body); }
};

struct AuthAnswer {
    bool send = true;
    int32_t code = 0;
    std::string msg = "ok";
    std::string hubVersion = "hub-2.4";
    std::string codecs = "h264,opus";
};

struct PlayAnswer {
    bool send = true;
    int32_t code = 0;
    std::string msg = "playing";
    uint32_t videoCodec = 1, bitrate = 4000000, fps = 30, width = 720, height = 1280;
    uint32_t audioCodec = 2, sampleRate = 48000, channels = 2;
};

class StreamPeer {
public:
    explicit StreamPeer(bool tls = false);
    ~StreamPeer();
    StreamPeer(const StreamPeer&) = delete;
    StreamPeer& operator=(const StreamPeer&) = delete;

    // "ws://127.0.0.1:<port>/stream" (wss:// with TLS)
    std::string Url() const;

    void SetAuthAnswer(AuthAnswer answer);
    void SetPlayAnswer(PlayAnswer answer);
    void SetEchoDelay(bool echo);
    // The echo carries the probe's time minus shiftMs, as if the round trip took that much longer.
    void SetEchoShiftMs(int64_t shiftMs);
    // Any status other than 101 refuses the upgrade.
    void SetUpgradeStatus(int status);
    // Called for every package after it is recorded (server thread).
    void SetOnPackage(std::function<void(const ClientPackage&)> hook);

    // Sends to the newest open connection; false when there is none.
    bool Send(const std::string& frame);
    bool SendText(const std::string& text);
    // Cuts every open connection without a close frame.
    void DropAll();
    // Closes every open connection with a close handshake.
    void CloseAll();

    std::vector<ClientPackage> Received() const;
    std::vector<ClientPackage> ReceivedOf(uint32_t type) const;
    size_t CountOf(uint32_t type) const;
    size_t Connections() const;  // accepted so far
    size_t Upgrades() const;     // upgrade requests seen, accepted or not
    void ClearReceived();

    // Block until the condition holds or timeoutMs passed; true when it holds.
    bool WaitForCount(uint32_t type, size_t count, int timeoutMs = 10000);
    bool WaitForConnections(size_t count, int timeoutMs = 10000);
    bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 10000);

private:
    void OnMessage(const std::shared_ptr<peers::WsSession>& session, const std::string& data, bool binary);
    void Answer(const std::shared_ptr<peers::WsSession>& session, const ClientPackage& package);

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    AuthAnswer m_auth;
    PlayAnswer m_play;
    bool m_echo = true;
    int64_t m_echoShiftMs = 0;
    int m_upgradeStatus = 101;
    size_t m_upgrades = 0;
    std::function<void(const ClientPackage&)> m_hook;
    std::vector<ClientPackage> m_received;
    std::weak_ptr<peers::WsSession> m_newest;
    std::unique_ptr<peers::WsServer> m_server;  // last: stopped first
};

}  // namespace stream_peer
