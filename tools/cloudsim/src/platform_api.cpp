#include "platform_api.h"

#include "http_helpers.h"
#include "platform_codes.h"
#include "record_store.h"

namespace cloudsim {

namespace pp = platform_peer;

PlatformApi::PlatformApi(CloudConfig config, std::shared_ptr<CloudServices> services,
                         std::shared_ptr<SessionRegistry> sessions, PhoneMap phones, bool streamTls)
    : m_config(std::move(config)), m_services(std::move(services)), m_sessions(std::move(sessions)),
      m_phones(std::move(phones)), m_streamTls(streamTls), m_nodes(m_config.groupControlNodes) {
    for (const auto& user : m_config.users) m_keys[user.accessKey] = user.secretKey;
    m_keys[m_config.statAccessKey] = m_config.statSecretKey;
}

bool PlatformApi::IsApiPath(const std::string& path) {
    return path == pp::kPhoneConnectPath || path == pp::kRefreshSessionPath || path == pp::kGroupControlPath ||
           path == pp::kScreenshotPath || path == pp::kSecurityTokenPath || path == pp::kMessageCollectPath;
}

void PlatformApi::SetGroupControlNodes(const std::vector<GroupControlNode>& nodes) {
    std::lock_guard<std::mutex> lock(m_nodesMutex);
    m_nodes = nodes;
}

// The instance a call concerns, read leniently before any check, so that a
// fault scripted for it applies even to a call that will be refused.
std::string PlatformApi::InstanceOf(const std::string& path, const std::string& body) const {
    Json::Value json;
    if (!ParseJsonBody(body, json, nullptr) || !json.isObject()) return "";
    if (json["instanceNo"].isString()) return json["instanceNo"].asString();
    const Json::Value& list = json["instanceNos"];
    if (list.isArray() && !list.empty() && list[0].isString()) return list[0].asString();
    if (path == pp::kRefreshSessionPath && json["sessionId"].isString()) {
        if (auto session = m_sessions->Find(json["sessionId"].asString())) return session->InstanceNo();
    }
    return "";
}

peers::HttpReply PlatformApi::Handle(const peers::HttpRequest& request, const std::string& listenerUrl) {
    const std::string path = TargetPath(request.target);
    ApiCall record;
    record.timeMs = NowMs();
    record.path = path;
    record.accessKey = request.Header("Platform-Access-Key");
    record.instanceNo = InstanceOf(path, request.body);
    ParseJsonBody(request.body, record.body, nullptr);

    const FaultScript faults = m_services->faults.TakeApiFaults(record.instanceNo);
    peers::HttpReply reply;
    if (faults.httpStatus != 0) {
        m_services->log.Write(kLogInfo, "fault: answer %s with HTTP %d", path.c_str(), faults.httpStatus);
        Json::Value body(Json::objectValue);
        body["code"] = faults.httpStatus;
        body["msg"] = "HTTP status set by fault script";
        reply = JsonReply(body, faults.httpStatus);
        record.code = faults.httpStatus;
        record.error = "fault script";
    } else {
        pp::VerifiedRequest verified;
        const std::string error = pp::VerifyPlatformRequest(request, m_keys, pp::VerifyOptions(), &verified);
        const SimUser* user = m_config.FindUserByAccessKey(verified.accessKey);
        Outcome outcome;
        if (!error.empty()) {
            outcome.code = kApiRefused;
            outcome.msg = "request refused: " + error;
        } else if (path == pp::kSecurityTokenPath) {
            outcome = SecurityToken();
        } else if ((path == pp::kMessageCollectPath) != (user == nullptr)) {
            outcome.code = kApiWrongKey;
            outcome.msg = path == pp::kMessageCollectPath ? "collect calls are signed with the statistics key"
                                                          : "session calls are signed with a user's key";
        } else {
            Call call{request, verified, user, listenerUrl, faults.refuseCode, faults.refuseMsg};
            if (path == pp::kPhoneConnectPath) outcome = PhoneConnect(call);
            if (path == pp::kRefreshSessionPath) outcome = RefreshSession(call);
            if (path == pp::kGroupControlPath) outcome = GroupControlConnect(call);
            if (path == pp::kScreenshotPath) outcome = Screenshot(call);
            if (path == pp::kMessageCollectPath) outcome = MessageCollect(call);
        }
        if (outcome.code != 0) {
            m_services->log.Write(kLogWarn, "%s answered %d: %s", path.c_str(), outcome.code, outcome.msg.c_str());
            record.error = outcome.msg;
        } else {
            m_services->log.Write(kLogDetail, "%s answered 0", path.c_str());
        }
        record.code = outcome.code;
        reply = PlatformReply(outcome.code, outcome.msg, outcome.data);
    }
    reply.delayMs = faults.delayMs;
    record.httpStatus = reply.status;
    m_services->records.AddApiCall(std::move(record));
    return reply;
}

}  // namespace cloudsim
