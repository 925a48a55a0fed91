// The session and statistics calls of the platform API.
#include "http_helpers.h"
#include "platform_api.h"
#include "platform_codes.h"
#include "record_store.h"
#include "stream_codes.h"
#include "stream_endpoint.h"

namespace cloudsim {
namespace {

constexpr const char* kLoopback = "127.0.0.1";
// Statistics secrets travel padded: clients drop the first 3 and the last 5 characters.
constexpr const char* kSecretHead = "tsv";
constexpr const char* kSecretTail = "cloud";

std::string Decimal(int64_t value) { return std::to_string(value); }

}  // namespace

PlatformApi::Outcome PlatformApi::CheckInstance(const SimUser& user, const std::string& instanceNo,
                                                const SimInstance** out) const {
    Outcome outcome;
    const SimInstance* instance = m_config.FindInstance(instanceNo);
    if (instance == nullptr) {
        outcome.code = kApiUnknownInstance;
        outcome.msg = "unknown instance \"" + instanceNo + "\"";
    } else if (instance->userId != user.userId) {
        outcome.code = kApiNotOwner;
        outcome.msg = "instance \"" + instanceNo + "\" belongs to another user";
    }
    *out = instance;
    return outcome;
}

Json::Value PlatformApi::SessionJson(const Session& session, const SimInstance& instance, bool withStream,
                                     bool preempted) const {
    const SessionInfo info = session.Info();
    Json::Value data(Json::objectValue);
    data["sessionId"] = info.sessionId;
    data["instanceNo"] = instance.instanceNo;
    data["userId"] = info.userId;
    data["appPackage"] = instance.appPackage;
    data["sessionSignExpireTime"] = Decimal(info.signExpireMs);
    data["sessionExpireTime"] = Decimal(info.expireMs);
    if (withStream) {
        Json::Value stream(Json::objectValue);
        stream["webSocketDomain"] = kLoopback;
        stream["webSocketPort"] = info.advertisedPort;
        stream["tcpDomain"] = "";
        stream["tcpPort"] = 0;
        stream["udpDomain"] = "";
        stream["udpPort"] = 0;
        data["streamInfo"] = stream;
        data["streamStrategyList"] = Json::Value(Json::arrayValue);
        data["streamStrategyList"].append(1);
    }
    data["preemption"] = preempted;
    return data;
}

PlatformApi::Outcome PlatformApi::PhoneConnect(const Call& call) {
    const Json::Value& body = call.verified.body;
    Outcome outcome;
    if (body["userId"].asString() != call.user->userId) {
        outcome.code = kApiUserMismatch;
        outcome.msg = "userId \"" + body["userId"].asString() + "\" is not the access key's user";
        return outcome;
    }
    const SimInstance* instance = nullptr;
    outcome = CheckInstance(*call.user, body["instanceNo"].asString(), &instance);
    if (outcome.code != 0) return outcome;
    if (call.refuseCode != 0) {
        outcome.code = call.refuseCode;
        outcome.msg = call.refuseMsg;
        return outcome;
    }

    bool preempted = false;
    std::string error;
    const std::shared_ptr<Session> session = OpenStreamSession(*instance, &preempted, &error);
    if (!session) {
        outcome.code = kApiServerError;
        outcome.msg = error;
        return outcome;
    }
    outcome.data = SessionJson(*session, *instance, true, preempted);
    return outcome;
}

std::shared_ptr<Session> PlatformApi::OpenStreamSession(const SimInstance& instance, bool* preempted,
                                                        std::string* error) {
    std::lock_guard<std::mutex> lock(m_connectMutex);
    const std::shared_ptr<Session> previous = m_sessions->LiveStreamSession(instance.instanceNo);
    if (previous) {
        previous->End();
        if (auto endpoint = previous->Endpoint()) {
            endpoint->Close(kStreamSessionEnded, "the session was replaced by a newer one");
        }
        previous->SetEndpoint(nullptr);
    }
    if (preempted) *preempted = previous != nullptr;
    const int64_t now = NowMs();
    auto session = std::make_shared<Session>(m_sessions->NewId(), instance.instanceNo, instance.userId, false,
                                             now + m_config.sessionSignTtlMs, now + m_config.sessionTtlMs);
    auto endpoint = StreamEndpoint::Open(m_services, m_phones.at(instance.instanceNo), session, m_streamTls, error);
    if (!endpoint) return nullptr;
    session->SetEndpoint(endpoint);
    m_sessions->Add(session);
    m_services->log.Write(kLogInfo, "session %s for %s: stream on wss %u, ws %u", session->Id().c_str(),
                          instance.instanceNo.c_str(), endpoint->WssPort(), endpoint->WsPort());
    return session;
}

std::shared_ptr<Session> PlatformApi::StandingSession(const SimInstance& instance, std::string* error) {
    // Reuse the live session while it has an hour left, so that fetching the
    // device list again does not cut off a window that is playing.
    {
        std::lock_guard<std::mutex> lock(m_connectMutex);
        const std::shared_ptr<Session> live = m_sessions->LiveStreamSession(instance.instanceNo);
        if (live && live->Endpoint() && !live->Expired(NowMs() + 3600LL * 1000)) return live;
    }
    return OpenStreamSession(instance, nullptr, error);
}

PlatformApi::Outcome PlatformApi::RefreshSession(const Call& call) {
    Outcome outcome;
    const std::string id = call.verified.body["sessionId"].asString();
    const std::shared_ptr<Session> session = m_sessions->Find(id);
    if (!session) {
        outcome.code = kApiUnknownSession;
        outcome.msg = "unknown session \"" + id + "\"";
    } else if (session->UserId() != call.user->userId) {
        outcome.code = kApiNotOwner;
        outcome.msg = "session \"" + id + "\" belongs to another user";
    } else if (session->Ended()) {
        outcome.code = kApiSessionEnded;
        outcome.msg = "session \"" + id + "\" has ended";
    }
    if (outcome.code != 0) return outcome;
    // Any id the session had renews it: a client may ask twice before the first answer arrives.
    const std::string newId = m_sessions->NewId();
    const int64_t signExpire = NowMs() + m_config.sessionSignTtlMs;
    session->Renew(newId, signExpire);
    m_sessions->AddId(newId, session);
    m_services->log.Write(kLogInfo, "session %s renewed as %s", id.c_str(), newId.c_str());
    outcome.data = Json::Value(Json::objectValue);
    outcome.data["sessionId"] = newId;
    outcome.data["sessionSignExpireTime"] = Decimal(signExpire);
    return outcome;
}

PlatformApi::Outcome PlatformApi::GroupControlConnect(const Call& call) {
    const Json::Value& body = call.verified.body;
    Outcome outcome;
    if (body["userId"].asString() != call.user->userId) {
        outcome.code = kApiUserMismatch;
        outcome.msg = "userId \"" + body["userId"].asString() + "\" is not the access key's user";
        return outcome;
    }
    std::vector<GroupControlNode> nodes;
    {
        std::lock_guard<std::mutex> lock(m_nodesMutex);
        nodes = m_nodes;
    }
    Json::Value success(Json::arrayValue);
    Json::Value fail(Json::arrayValue);
    std::vector<bool> used(nodes.size(), false);
    size_t next = 0;
    for (const auto& item : body["instanceNos"]) {
        const std::string instanceNo = item.isString() ? item.asString() : "";
        const SimInstance* instance = nullptr;
        Outcome check = CheckInstance(*call.user, instanceNo, &instance);
        if (check.code == 0 && instance->groupRefuseCode != 0) {
            check.code = instance->groupRefuseCode;
            check.msg = instance->groupRefuseMsg.empty() ? "instance is not available for group control"
                                                         : instance->groupRefuseMsg;
        }
        if (check.code == 0 && nodes.empty()) {
            check.code = kApiNoGroupNode;
            check.msg = "no group-control node is configured";
        }
        if (check.code != 0) {
            Json::Value entry(Json::objectValue);
            entry["instanceNo"] = instanceNo;
            entry["errorCode"] = check.code;
            entry["errorMsg"] = check.msg;
            fail.append(entry);
            continue;
        }
        // The instance's own node when it has one among those named, else the nodes in turn.
        size_t node = nodes.size();
        for (size_t i = 0; i < nodes.size(); ++i) {
            if (nodes[i].nodeNo == instance->groupNode) node = i;
        }
        if (node == nodes.size()) node = next++ % nodes.size();
        used[node] = true;
        const int64_t now = NowMs();
        auto session = std::make_shared<Session>(m_sessions->NewId(), instanceNo, call.user->userId, true,
                                                 now + m_config.sessionSignTtlMs, now + m_config.sessionTtlMs,
                                                 nodes[node].nodeNo);
        m_sessions->Add(session);
        Json::Value entry = SessionJson(*session, *instance, false, false);
        entry["gCtrlNodeNo"] = nodes[node].nodeNo;
        success.append(entry);
    }
    // Only the nodes that serve an accepted instance are named.
    Json::Value nodeList(Json::arrayValue);
    for (size_t i = 0; i < nodes.size(); ++i) {
        if (!used[i]) continue;
        Json::Value entry(Json::objectValue);
        entry["idcServerNodeNo"] = nodes[i].nodeNo;
        entry["nodeIp"] = nodes[i].ip;
        entry["nodePort"] = nodes[i].port;
        nodeList.append(entry);
    }
    outcome.data = Json::Value(Json::objectValue);
    outcome.data["successList"] = success;
    outcome.data["failList"] = fail;
    outcome.data["idcServerNodeList"] = nodeList;
    return outcome;
}

PlatformApi::Outcome PlatformApi::Screenshot(const Call& call) {
    const Json::Value& body = call.verified.body;
    Outcome outcome;
    auto number = [&body](const char* key) {
        return body[key].isInt64() ? std::to_string(body[key].asInt64()) : std::string("0");
    };
    // The platform's picture scale is a level from 1 (a fifth of the screen)
    // to 5 (the whole screen); other values give the whole screen.
    const int64_t level = body["pictureScale"].isInt64() ? body["pictureScale"].asInt64() : 5;
    const int64_t percent = level >= 1 && level <= 5 ? level * 20 : 100;
    const std::string settings = "?quality=" + number("pictureQuality") + "&scale=" + std::to_string(percent) +
                                 "&rotate=" + number("pictureRotate");
    outcome.data = Json::Value(Json::arrayValue);
    for (const auto& item : body["instanceNos"]) {
        const SimInstance* instance = nullptr;
        if (CheckInstance(*call.user, item.isString() ? item.asString() : "", &instance).code != 0) continue;
        Json::Value entry(Json::objectValue);
        entry["instanceNo"] = instance->instanceNo;
        entry["picUrl"] = call.listenerUrl + "/screenshot/" + instance->instanceNo + ".jpg" + settings;
        outcome.data.append(entry);
    }
    return outcome;
}

PlatformApi::Outcome PlatformApi::SecurityToken() {
    Outcome outcome;
    outcome.data = Json::Value(Json::objectValue);
    outcome.data["accessKey"] = m_config.statAccessKey;
    outcome.data["accessSecretKey"] = kSecretHead + m_config.statSecretKey + kSecretTail;
    return outcome;
}

PlatformApi::Outcome PlatformApi::MessageCollect(const Call& call) {
    (void)call;  // the record of the call is the result
    return Outcome();
}

}  // namespace cloudsim
