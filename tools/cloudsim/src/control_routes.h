#pragma once
// The local cloud's own endpoints besides the platform API: screenshots of
// the phones as JPEG, and the control endpoints tests in other processes use
// (record, platform calls, sessions, phones, fault scripts).
//
//   GET  /screenshot/<instanceNo>.jpg?quality=&scale=&rotate=
//   GET  /cloudsim/record?instanceNo=<no>[&since=<seq>]
//   GET  /cloudsim/api-calls[?since=<seq>]
//   POST /cloudsim/clear-records
//   GET  /cloudsim/sessions
//   GET  /cloudsim/phone?instanceNo=<no>
//   POST /cloudsim/faults        body: {"instanceNo": "<no>" or "*", <fault fields>}
//   POST /cloudsim/clear-faults
//   GET  /cloudsim/nodes
//   GET  /cloudsim/node-record?nodeNo=<no>[&since=<seq>]
//   POST /cloudsim/node-restart  body: {"nodeNo": "<no>"}
//   POST /cloudsim/node-faults   body: {"nodeNo": "<no>" or "*", <node fault fields>}
#include <functional>
#include <memory>
#include <string>

#include "cloud_services.h"
#include "cloudsim/group_control.h"
#include "peers/http_server.h"
#include "platform_api.h"
#include "session_registry.h"

namespace cloudsim {

// What the control endpoints may do with the cloud's group-control nodes.
struct NodeHooks {
    std::function<std::vector<NodeView>()> views;
    std::function<std::vector<NodeMessage>(const std::string& nodeNo)> messages;
    std::function<int(const std::string& nodeNo)> restart;  // 0, or -1 for an unknown node
    std::function<void(const std::string& nodeNo, const NodeFaultScript& script)> setFaults;
};

class ControlRoutes {
public:
    ControlRoutes(std::shared_ptr<CloudServices> services, std::shared_ptr<SessionRegistry> sessions,
                  PhoneMap phones, NodeHooks nodes);

    static bool Matches(const std::string& path);
    peers::HttpReply Handle(const peers::HttpRequest& request) const;

private:
    peers::HttpReply Screenshot(const std::string& path, const std::string& target) const;
    peers::HttpReply Record(const std::string& target) const;
    peers::HttpReply ApiCalls(const std::string& target) const;
    peers::HttpReply Sessions() const;
    peers::HttpReply Phone(const std::string& target) const;
    peers::HttpReply Faults(const std::string& body) const;
    peers::HttpReply NodeRoute(const std::string& path, const peers::HttpRequest& request) const;

    const std::shared_ptr<CloudServices> m_services;
    const std::shared_ptr<SessionRegistry> m_sessions;
    const PhoneMap m_phones;
    const NodeHooks m_nodes;
};

Json::Value ToJson(const SessionInfo& info);
PhoneView ViewOf(const SyntheticPhone& phone);
Json::Value ToJson(const PhoneView& view);

}  // namespace cloudsim
