#pragma once
// A scripted local group-control node for tests and the local cloud. It is a
// WebSocket server on 127.0.0.1 (plain or TLS) that reads the client's
// packages with its own framing and JSON reading, records them and answers
// as a node would: registration, heartbeat echo, control requests and the
// status of the instances it controls. Every member may be called from any
// thread.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <json/value.h>

#include "peers/node_wire.h"

namespace peers {

// One package the node received.
struct NodePackage {
    int session = 0;      // WsSession::Id of the connection it came on
    uint32_t type = 0;
    std::string body;     // the JSON text as sent
    bool parsed = false;  // body is valid JSON
    Json::Value json;
    Json::Value opData;   // input packages: the embedded opData text, parsed
};

// One instance under the node's control.
struct NodeInstance {
    std::string instanceNo;
    std::string uid;
    std::string sessionId;
    int state = 1;
    int width = 0;
    int height = 0;
    int errCode = 0;
    bool isProxy = false;
};

class NodePeer {
public:
    explicit NodePeer(bool tls = false);
    ~NodePeer();
    NodePeer(const NodePeer&) = delete;
    NodePeer& operator=(const NodePeer&) = delete;

    // "ws(s)://127.0.0.1:<port>/gcnode"
    std::string Url() const;
    uint16_t Port() const;

    // Scripting.
    void SetUpgradeStatus(int status);  // 101 (default) accepts the WebSocket
    void SetRegisterAnswer(int code, const std::string& msg);  // default 0, "success"
    void SetEchoHeartbeat(bool on);     // echo the client's heartbeats (default on)
    void SetAutoAnswer(bool on);        // answer anything at all (default on); off only records
    void SetAnswerCode(int code, const std::string& msg);  // code of control answers
    void SetInstanceState(const std::string& instanceNo, int state, int errCode, bool isProxy = false);

    // Sending to the client on the newest open connection; false when none.
    bool Send(uint32_t type, const std::string& body);
    bool SendJson(uint32_t type, const Json::Value& body);
    bool SendRaw(const std::string& frame);  // one binary frame as given
    bool SendText(const std::string& text);
    void CloseAll();  // close handshake on every open connection
    void DropAll();   // cut every open connection without a close frame

    // Observation.
    std::vector<NodePackage> Packages() const;
    std::vector<NodePackage> PackagesOf(uint32_t type) const;
    size_t CountOf(uint32_t type) const;
    size_t BadFrames() const;  // binary frames that were no whole package
    std::vector<NodeInstance> Instances() const;
    std::string MainInstance() const;
    std::string ConnIdOf(int session) const;
    size_t AcceptedCount() const;
    size_t OpenCount() const;
    size_t ClosedCount() const;
    void ClearPackages();

    // Waits until condition holds, re-checking after every event and at
    // least every 50 ms; false when timeoutMs passed first.
    bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 10000) const;
    bool WaitForCount(uint32_t type, size_t count, int timeoutMs = 10000) const;

private:
    struct Impl;
    std::shared_ptr<Impl> m_impl;
};

}  // namespace peers
