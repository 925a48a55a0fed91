#pragma once
// The local cloud in one object: the platform API over HTTPS and HTTP, a
// stream server (WSS and WS) per session, a synthetic phone per instance,
// screenshots, static files, and the record of what arrived. Everything
// listens on 127.0.0.1; ports left at 0 are chosen free.
//
//   cloudsim::CloudOptions options;            // default configuration
//   cloudsim::CloudSim cloud(options);
//   if (cloud.Start() != 0) ...;
//   std::string base = cloud.HttpsUrl();       // platform base URL for the client
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "cloudsim/cloud_config.h"
#include "cloudsim/fault_script.h"
#include "cloudsim/group_control.h"
#include "cloudsim/phone_record.h"
#include "cloudsim/uplink_view.h"

#define CLOUDSIM_API __attribute__((visibility("default")))

namespace cloudsim {

struct CloudOptions {
    CloudConfig config = DefaultCloudConfig();
    uint16_t httpsPort = 0;
    uint16_t httpPort = 0;
    // Which of a session's two stream servers the session answer names:
    // the WSS one (clients connect with "wss://") or the WS one.
    bool streamTls = true;
    std::string webRoot;  // folder of static files; "" serves none
    int logLevel = 20;    // lines below this level are dropped
    // Receives every log line kept; null writes them to stderr.
    std::function<void(int level, const std::string& line)> logSink;
    // Called on a streamer thread just before each video package goes out,
    // with the phone and the H.264 access unit (for benchmarks); may be null.
    std::function<void(const std::string& instanceNo, const std::vector<uint8_t>& accessUnit)> onVideoSent;
    // What the phones' Camera and Mic apps ask the client for.
    UplinkRequest uplink;
    // Called on a stream server thread as each camera or microphone package
    // (types 3010 to 3013) arrives, before it is decoded (for benchmarks); may be null.
    std::function<void(const std::string& instanceNo, uint32_t type, size_t length)> onUplinkPackage;
    // Called the moment an input was applied to a phone, on the server
    // thread that applied it: kind as in the record ("touch", "key", ...),
    // viaNode for input a group-control node copied. May be null.
    std::function<void(const std::string& instanceNo, const std::string& kind, bool viaNode)> onInputApplied;
};

struct SessionInfo {
    std::string sessionId;                // current id
    std::vector<std::string> formerIds;   // ids replaced by refresh-session, oldest first
    std::string instanceNo;
    std::string userId;
    bool groupControl = false;            // made by a group-control connect (no stream server)
    std::string nodeNo;                   // group control: the node that serves the instance
    bool ended = false;                   // replaced by a newer session of the instance
    uint16_t wssPort = 0;
    uint16_t wsPort = 0;
    uint16_t advertisedPort = 0;          // the port the session answer named
    int64_t signExpireMs = 0;
    int64_t expireMs = 0;
    int connections = 0;                  // open stream connections
    int playing = 0;                      // of which streaming
};

// What a phone shows, for tests.
struct PhoneView {
    bool landscape = false;
    int width = 0;
    int height = 0;
    std::string text;
    bool focused = false;
    std::string clipboard;
    int volume = 0;
    int lastTouchX = -1;
    int lastTouchY = -1;
    bool cameraOn = false;
    bool micOn = false;
};

// How a test ends a connection: a close frame (code 1000, no error message
// before it), or the TCP connection cut without one.
enum class CutKind { kCloseFrame, kTcpDrop };

class CLOUDSIM_API CloudSim {
public:
    explicit CloudSim(CloudOptions options = CloudOptions());
    ~CloudSim();
    CloudSim(const CloudSim&) = delete;
    CloudSim& operator=(const CloudSim&) = delete;

    // Opens the listeners. 0 on success, -1 (error filled) otherwise.
    int Start(std::string* error = nullptr);
    // Closes every listener and connection; also done by the destructor.
    void Stop();

    uint16_t HttpsPort() const;
    uint16_t HttpPort() const;
    std::string HttpsUrl() const;  // "https://127.0.0.1:<port>"
    std::string HttpUrl() const;   // "http://127.0.0.1:<port>"
    const CloudConfig& Config() const;

    std::vector<SessionInfo> Sessions() const;
    // The newest session of an instance; false when it has none.
    bool LatestSession(const std::string& instanceNo, SessionInfo& out) const;

    // Scripts faults for an instance ("*" for calls that name none, and as the
    // fallback of every instance); replaces what was scripted there before.
    void SetFaults(const std::string& instanceNo, const FaultScript& script);
    void ClearFaults();

    // Ends every open stream connection of the instance's sessions at once;
    // the sessions stay valid, so clients may connect again. How many ended.
    int CutStreams(const std::string& instanceNo, CutKind kind);

    std::vector<ReceivedMessage> Received(const std::string& instanceNo) const;
    std::vector<ApiCall> ApiCalls() const;
    void ClearRecords();

    // false when the instance is unknown.
    bool Phone(const std::string& instanceNo, PhoneView& out) const;
    // Turns the phone's screen (odd quarter turns: landscape) as its own
    // rotation would, and reports it on its stream connections. false when
    // the instance is unknown.
    bool RotatePhone(const std::string& instanceNo, int quarterTurns);

    // What the phone received over the camera and microphone uplink; false
    // when the instance is unknown.
    bool Uplink(const std::string& instanceNo, UplinkView& out) const;

    // The nodes group-control session answers name from now on (as given:
    // for nodes of other programs); the cloud's own nodes keep running.
    void SetGroupControlNodes(const std::vector<GroupControlNode>& nodes);

    // Group control: the cloud's own nodes (one per configured node that is
    // not external), each on ws and wss at one port, path "/ws".
    std::vector<NodeView> Nodes() const;
    // false when the cloud serves no node of that number.
    bool Node(const std::string& nodeNo, NodeView& out) const;
    uint16_t NodePort(const std::string& nodeNo) const;
    // Cuts every connection of the node and stops listening; its clients see
    // the node go away. StartNode listens again on the same port, with no
    // memory of earlier connections; RestartNode does both. 0, or -1.
    int StopNode(const std::string& nodeNo);
    int StartNode(const std::string& nodeNo);
    int RestartNode(const std::string& nodeNo);
    // Ends every connection of the node at once; it keeps listening. How many ended.
    int CutNodeConnections(const std::string& nodeNo, CutKind kind);
    // Every package the node received, oldest first (cleared by ClearRecords).
    std::vector<NodeMessage> NodeMessages(const std::string& nodeNo) const;
    // Replaces the node's faults ("*": every node). ClearFaults clears them too.
    void SetNodeFaults(const std::string& nodeNo, const NodeFaultScript& script);
    // Sends an error report (2001) to the node's registered connections:
    // errType, errCode and the instances with their codes. How many it reached.
    int SendNodeError(const std::string& nodeNo, int errType, int errCode,
                      const std::vector<std::pair<std::string, int>>& instances);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace cloudsim
