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
#include <functional>
#include <memory>
#include <string>

#include "cloud_services.h"
#include "peers/http_server.h"
#include "platform_api.h"
#include "session_registry.h"

namespace cloudsim {

class ControlRoutes {
public:
    ControlRoutes(std::shared_ptr<CloudServices> services, std::shared_ptr<SessionRegistry> sessions,
                  PhoneMap phones);

    static bool Matches(const std::string& path);
    peers::HttpReply Handle(const peers::HttpRequest& request) const;

private:
    peers::HttpReply Screenshot(const std::string& path, const std::string& target) const;
    peers::HttpReply Record(const std::string& target) const;
    peers::HttpReply ApiCalls(const std::string& target) const;
    peers::HttpReply Sessions() const;
    peers::HttpReply Phone(const std::string& target) const;
    peers::HttpReply Faults(const std::string& body) const;

    const std::shared_ptr<CloudServices> m_services;
    const std::shared_ptr<SessionRegistry> m_sessions;
    const PhoneMap m_phones;
};

Json::Value ToJson(const SessionInfo& info);
PhoneView ViewOf(const SyntheticPhone& phone);
Json::Value ToJson(const PhoneView& view);

}  // namespace cloudsim
