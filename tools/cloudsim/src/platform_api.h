#pragma once
// The platform REST API of the local cloud: signed session calls and the
// statistics calls. Every signed call is verified (headers, date, HMAC
// signature, client ticket, body) and refused with a platform code and a
// message saying why; every call is recorded; scripted faults apply.
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <json/value.h>

#include "cloud_services.h"
#include "cloudsim/cloud_config.h"
#include "peers/http_server.h"
#include "platform_peer/request_verifier.h"
#include "session_registry.h"
#include "synthetic_phone.h"

namespace cloudsim {

using PhoneMap = std::map<std::string, std::shared_ptr<SyntheticPhone>>;

class PlatformApi {
public:
    PlatformApi(CloudConfig config, std::shared_ptr<CloudServices> services,
                std::shared_ptr<SessionRegistry> sessions, PhoneMap phones, bool streamTls);

    static bool IsApiPath(const std::string& path);
    // listenerUrl: scheme, host and port the request came in on (for picture URLs).
    peers::HttpReply Handle(const peers::HttpRequest& request, const std::string& listenerUrl);

    void SetGroupControlNodes(const std::vector<GroupControlNode>& nodes);

    // Opens a stream session of the instance's owner with its stream
    // servers, ending the instance's live one (preempted tells whether there
    // was one). Null (error filled) when the servers cannot listen.
    std::shared_ptr<Session> OpenStreamSession(const SimInstance& instance, bool* preempted, std::string* error);
    // The instance's live stream session, or a new one when it has none.
    std::shared_ptr<Session> StandingSession(const SimInstance& instance, std::string* error);

private:
    struct Outcome {
        int code = 0;
        std::string msg = "success";
        Json::Value data;
    };
    struct Call {
        const peers::HttpRequest& request;
        const platform_peer::VerifiedRequest& verified;
        const SimUser* user;  // the access key's user; null for statistics calls
        std::string listenerUrl;
        int refuseCode = 0;
        std::string refuseMsg;
    };

    std::string InstanceOf(const std::string& path, const std::string& body) const;
    Outcome PhoneConnect(const Call& call);
    Outcome RefreshSession(const Call& call);
    Outcome GroupControlConnect(const Call& call);
    Outcome Screenshot(const Call& call);
    Outcome SecurityToken();
    Outcome MessageCollect(const Call& call);
    Json::Value SessionJson(const Session& session, const SimInstance& instance, bool withStream,
                            bool preempted) const;
    Outcome CheckInstance(const SimUser& user, const std::string& instanceNo, const SimInstance** out) const;

    const CloudConfig m_config;
    const std::shared_ptr<CloudServices> m_services;
    const std::shared_ptr<SessionRegistry> m_sessions;
    const PhoneMap m_phones;
    const bool m_streamTls;
    platform_peer::KeyTable m_keys;
    std::mutex m_connectMutex;  // replacing a session and opening its servers is one step
    std::mutex m_nodesMutex;
    std::vector<GroupControlNode> m_nodes;
};

}  // namespace cloudsim
