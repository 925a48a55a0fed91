#include "session_registry.h"

#include <cstdio>

#include "stream_endpoint.h"

namespace cloudsim {

Session::Session(std::string id, std::string instanceNo, std::string userId, bool groupControl,
                 int64_t signExpireMs, int64_t expireMs, std::string nodeNo)
    : m_instanceNo(std::move(instanceNo)), m_userId(std::move(userId)), m_groupControl(groupControl),
      m_expireMs(expireMs), m_nodeNo(std::move(nodeNo)), m_id(std::move(id)), m_signExpireMs(signExpireMs) {}

std::string Session::Id() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_id;
}

bool Session::IsCurrentId(const std::string& id) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return id == m_id;
}

bool Session::IsFormerId(const std::string& id) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const auto& former : m_formerIds) {
        if (former == id) return true;
    }
    return false;
}

void Session::Renew(const std::string& newId, int64_t signExpireMs) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_formerIds.push_back(m_id);
    m_id = newId;
    m_signExpireMs = signExpireMs;
    m_renewalDemanded = false;
}

void Session::DemandRenewal() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_renewalDemanded = true;
}

bool Session::RenewalDue(int64_t nowMs) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_renewalDemanded || nowMs > m_signExpireMs;
}

void Session::End() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_ended = true;
}

bool Session::Ended() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_ended;
}

void Session::SetEndpoint(std::shared_ptr<StreamEndpoint> endpoint) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_endpoint = std::move(endpoint);
}

std::shared_ptr<StreamEndpoint> Session::Endpoint() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_endpoint;
}

SessionInfo Session::Info() const {
    SessionInfo info;
    std::shared_ptr<StreamEndpoint> endpoint;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        info.sessionId = m_id;
        info.formerIds = m_formerIds;
        info.signExpireMs = m_signExpireMs;
        info.ended = m_ended;
        endpoint = m_endpoint;
    }
    info.instanceNo = m_instanceNo;
    info.userId = m_userId;
    info.groupControl = m_groupControl;
    info.nodeNo = m_nodeNo;
    info.expireMs = m_expireMs;
    if (endpoint) {
        info.wssPort = endpoint->WssPort();
        info.wsPort = endpoint->WsPort();
        info.advertisedPort = endpoint->AdvertisedPort();
        endpoint->CountConnections(info.connections, info.playing);
    }
    return info;
}

SessionRegistry::SessionRegistry() : m_random(std::random_device{}()) {}

std::string SessionRegistry::NewId() {
    std::lock_guard<std::mutex> lock(m_mutex);
    char id[64];
    std::snprintf(id, sizeof(id), "SID%04llu-%016llx", static_cast<unsigned long long>(++m_counter),
                  static_cast<unsigned long long>(m_random()));
    return id;
}

void SessionRegistry::Add(const std::shared_ptr<Session>& session) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_byId[session->Id()] = session;
    m_inOrder.push_back(session);
}

void SessionRegistry::AddId(const std::string& newId, const std::shared_ptr<Session>& session) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_byId[newId] = session;
}

std::shared_ptr<Session> SessionRegistry::Find(const std::string& id) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_byId.find(id);
    return it == m_byId.end() ? nullptr : it->second;
}

std::shared_ptr<Session> SessionRegistry::LiveStreamSession(const std::string& instanceNo) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto it = m_inOrder.rbegin(); it != m_inOrder.rend(); ++it) {
        if ((*it)->InstanceNo() == instanceNo && !(*it)->GroupControl() && !(*it)->Ended()) return *it;
    }
    return nullptr;
}

std::shared_ptr<Session> SessionRegistry::Latest(const std::string& instanceNo) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto it = m_inOrder.rbegin(); it != m_inOrder.rend(); ++it) {
        if ((*it)->InstanceNo() == instanceNo) return *it;
    }
    return nullptr;
}

std::vector<std::shared_ptr<Session>> SessionRegistry::All() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_inOrder;
}

void SessionRegistry::Clear() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_byId.clear();
    m_inOrder.clear();
}

}  // namespace cloudsim
