#pragma once
// One group-control node of the local cloud: a WebSocket server on
// 127.0.0.1 (plain and TLS on the same port, path "/ws") that plays the node
// side of the node protocol. A client registers, keeps the link alive with
// heartbeats, hands the node the instances to control, and sends input,
// which the node applies to the synthetic phone of every follower it
// controls, scaled to that phone's screen. Thread-safe.
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "cloud_services.h"
#include "cloudsim/group_control.h"
#include "platform_api.h"
#include "session_registry.h"

namespace peers {
class WsServer;
}

namespace cloudsim {

class NodeServer {
public:
    NodeServer(std::string nodeNo, std::shared_ptr<CloudServices> services, std::shared_ptr<SessionRegistry> sessions,
               PhoneMap phones);
    ~NodeServer();
    NodeServer(const NodeServer&) = delete;
    NodeServer& operator=(const NodeServer&) = delete;

    const std::string& NodeNo() const { return m_nodeNo; }
    // Starts listening (port 0: a free one; later calls: the port of the
    // first). 0, or -1 with error filled.
    int Listen(uint16_t port, std::string* error);
    // Cuts every connection and stops listening; the control of every
    // connection is forgotten, as a restarted node forgets it.
    void Stop();
    uint16_t Port() const;
    // Ends every connection (a close frame, or the TCP connection cut); keeps
    // listening. How many there were.
    int Cut(bool closeFrame);

    NodeView View() const;
    std::vector<NodeMessage> Messages() const;
    void ClearMessages();
    void SetFaults(const NodeFaultScript& faults);
    // Sends an error report (2001) to every registered connection; how many it reached.
    int SendError(int errType, int errCode, const std::vector<std::pair<std::string, int>>& instances);

private:
    struct State;
    const std::string m_nodeNo;
    std::shared_ptr<State> m_state;
    mutable std::mutex m_serverMutex;
    std::unique_ptr<peers::WsServer> m_server;
    uint16_t m_port = 0;
};

}  // namespace cloudsim
