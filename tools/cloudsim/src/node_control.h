#pragma once
// What a group-control node does for one registered connection: the set of
// instances it controls (checked against the group-control sessions the
// platform handed out), their states, the main instance, and the input
// copied to every follower, scaled from the main phone's screen to the
// follower's own.
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <json/value.h>

#include "cloud_services.h"
#include "cloudsim/group_control.h"
#include "node_requests.h"
#include "platform_api.h"
#include "record_store.h"
#include "session_registry.h"

namespace peers {
class WsSession;
}

namespace cloudsim {

struct ControlledInstance {
    ControlEntry entry;
    int state = kNodeInstanceControlled;
    int errCode = 0;
};

struct NodeConnection {
    int number = 0;
    std::shared_ptr<peers::WsSession> socket;
    std::string connId;  // "" until registered
    std::string mainInstanceNo;
    int64_t streamWidth = 0;
    int64_t streamHeight = 0;
    int64_t lastDelayMs = -1;
    std::vector<ControlledInstance> instances;
};

// One input operation on its way to one phone, already scaled to it.
struct NodeDelivery {
    std::shared_ptr<SyntheticPhone> phone;
    std::string sessionId;
    NodeInput input;
    Json::Value sourcePoints;  // the points as the client sent them (touch, mouse move)
};

class NodeControl {
public:
    NodeControl(std::string nodeNo, std::shared_ptr<SessionRegistry> sessions, PhoneMap phones);

    // Replaces the connection's control; the instances refused, with their codes.
    std::vector<std::pair<std::string, int>> Start(NodeConnection& connection, const NodeRequest& request) const;
    // Takes instances back in or out; the numbers not under the connection's control.
    std::vector<std::string> SetReduced(NodeConnection& connection, const std::vector<std::string>& instanceNos,
                                        bool reduced) const;
    // The status answer's "instanceList": state and current screen size of each instance.
    Json::Value StatusList(const NodeConnection& connection) const;
    // Where an input goes: every controlled follower (the named instances for
    // per-instance text), with touch and mouse points scaled to each.
    std::vector<NodeDelivery> Deliveries(const NodeConnection& connection, const NodeInput& input) const;
    // Applies one delivery to its phone, then records it under the phone.
    void Apply(const NodeDelivery& delivery, const std::string& connId, CloudServices& services) const;

private:
    // The instance's refusal code, 0 when the entry names a live group-control session of this node.
    int CheckEntry(const ControlEntry& entry) const;
    // The size touches are given in: the main phone's screen, else the stream configuration.
    std::pair<int64_t, int64_t> SourceSize(const NodeConnection& connection) const;

    const std::string m_nodeNo;
    const std::shared_ptr<SessionRegistry> m_sessions;
    const PhoneMap m_phones;
};

}  // namespace cloudsim
